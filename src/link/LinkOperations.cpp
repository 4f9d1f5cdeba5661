#include "LinkOperations.h"

#include "AlincoDialogue.h"
#include "IcomDialogue.h"
#include "Primitives.h"
#include "VertexDialogue.h"

#include <Product.h>

#include <stdexcept>
#include <string_view>

namespace {

// A board family's side of the link: its link check, read and write.
struct FamilyDialogue {
    const BoardFamily& family;
    PingResult (*ping)(LinkContext& ctx, const QString& accessCode);
    PingRules (*pingRules)(const QString& accessCode);
    TransferResult (*read)(LinkContext& ctx, BoardImage& image, int N);
    TransferResult (*write)(LinkContext& ctx, const BoardImage& image, int N);
};

// One row per family: a new family is its dialogue file and a row here.
constexpr FamilyDialogue kDialogues[] = {
    {BoardFamily::Vertex, Ping_Vertex, vertexPingRules, ReadVertex, WriteVertex},
    {BoardFamily::Alinco, Ping_Alinco, alincoPingRules, ReadAlinco, WriteAlinco},
    {BoardFamily::Icom, Ping_Icom, icomPingRules, ReadIcom, WriteIcom},
};

constexpr const FamilyDialogue* findDialogue(const BoardFamily& family)
{
    for (const FamilyDialogue& d : kDialogues) {
        // by name: a constant expression may not compare the addresses of two objects
        if (std::string_view(d.family.name) == family.name)
            return &d;
    }
    return nullptr;
}

constexpr bool everyFamilyHasADialogue()
{
    for (const BoardFamily* family : kBoardFamilies) {
        if (!findDialogue(*family))
            return false;
    }
    return true;
}
static_assert(everyFamilyHasADialogue(), "a board family without a row in kDialogues");

const FamilyDialogue& dialogueOf(const BoardFamily& family)
{
    const FamilyDialogue* d = findDialogue(family);
    if (!d)
        throw std::logic_error("a product whose family has no dialogue");
    return *d;
}

const FamilyDialogue& dialogueOf(int product)
{
    return dialogueOf(Product::info(product).family);
}

} // namespace

namespace LinkOperations {

int lastWord(int product)
{
    return Product::info(product).lastWord;
}

int progressMaximum(int product)
{
    return lastWord(product) + 1;
}

PingResult ping(LinkContext& ctx, int product, const QString& accessCode)
{
    return dialogueOf(product).ping(ctx, accessCode);
}

PingRules pingRules(const BoardFamily& family, const QString& accessCode)
{
    return dialogueOf(family).pingRules(accessCode);
}

TransferResult read(LinkContext& ctx, int product, BoardImage& image)
{
    return dialogueOf(product).read(ctx, image, lastWord(product));
}

TransferResult write(LinkContext& ctx, int product, const BoardImage& image)
{
    return dialogueOf(product).write(ctx, image, lastWord(product));
}

LinkStatus forceInitialization(LinkContext& ctx)
{
    return Send(ctx, QByteArray("01\x0D"));
}

} // namespace LinkOperations
