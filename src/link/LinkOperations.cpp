#include "LinkOperations.h"

#include "AlincoDialogue.h"
#include "IcomDialogue.h"
#include "Primitives.h"
#include "VertexDialogue.h"

#include <Product.h>

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
    switch (Product::info(product).family) {
    case BoardFamily::Alinco: return Ping_Alinco(ctx, accessCode);
    case BoardFamily::Icom: return Ping_Icom(ctx, accessCode);
    case BoardFamily::Vertex: return Ping_Vertex(ctx, accessCode);
    }
    return {PingResult::Outcome::LinkError, {}};
}

TransferResult read(LinkContext& ctx, int product, BoardImage& image)
{
    const ProductInfo& p = Product::info(product);
    switch (p.family) {
    case BoardFamily::Alinco: return ReadAlinco(ctx, image, p.lastWord);
    case BoardFamily::Icom: return ReadIcom(ctx, image, p.lastWord);
    case BoardFamily::Vertex: return ReadVertex(ctx, image, p.lastWord);
    }
    return {};
}

TransferResult write(LinkContext& ctx, int product, const BoardImage& image)
{
    const ProductInfo& p = Product::info(product);
    switch (p.family) {
    case BoardFamily::Alinco: return WriteAlinco(ctx, image, p.lastWord);
    case BoardFamily::Icom: return WriteIcom(ctx, image, p.lastWord);
    case BoardFamily::Vertex: return WriteVertex(ctx, image, p.lastWord);
    }
    return {};
}

LinkStatus forceInitialization(LinkContext& ctx)
{
    return Send(ctx, QByteArray("01\x0D"));
}

} // namespace LinkOperations
