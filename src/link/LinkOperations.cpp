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
    TransferResult (*read)(LinkContext& ctx, BoardImage& image, int N);
    TransferResult (*write)(LinkContext& ctx, const BoardImage& image, int N);
};

// One row per family: a new family is its dialogue file and a row here.
constexpr FamilyDialogue kDialogues[] = {
    {BoardFamily::Vertex, Ping_Vertex, ReadVertex, WriteVertex},
    {BoardFamily::Alinco, Ping_Alinco, ReadAlinco, WriteAlinco},
    {BoardFamily::Icom, Ping_Icom, ReadIcom, WriteIcom},
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

const FamilyDialogue& dialogueOf(int product)
{
    const FamilyDialogue* d = findDialogue(Product::info(product).family);
    if (!d)
        throw std::logic_error("a product whose family has no dialogue");
    return *d;
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
