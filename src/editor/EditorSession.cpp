#include "EditorSession.h"

#include "Editor.h"
#include "FormControls.h"
#include "MemoryMap.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QDir>
#include <QFileInfo>

namespace {

EditorSession::Source fileSource(const QString& path)
{
    return {QFileInfo(path).absoluteFilePath(), false, {}};
}

} // namespace

EditorSession::EditorSession()
{
    markStored();
}

EditorSession EditorSession::startUp(const std::optional<QString>& product, const std::optional<QString>& folder,
                                     const QString& installedFolder)
{
    EditorSession s;
    if (product)
        Editor::applyProductProfile(s.form, *product);
    if (folder)
        s.loadDefault(*folder, installedFolder);
    s.markStored();
    return s;
}

bool EditorSession::loadDefault(const QString& folder, const QString& installedFolder)
{
    bool loaded = false;
    if (const std::optional<int> ticked = product()) {
        const QString name = QLatin1String(Product::info(*ticked).defaultFile);
        QString path = QDir(folder).filePath(name);
        // Started from the desktop, the working directory has no data files: the
        // installed copy stands in.
        if (!QFileInfo::exists(path) && !installedFolder.isEmpty())
            path = QDir(installedFolder).filePath(name);
        loaded = DataFile::load(path, image, DataFile::MarkerRule::NotChecked).ok();
        if (loaded) {
            defaultLoaded_ = true;
            Editor::UpdateGUI(form, image);
            source = fileSource(path);
        }
    }
    markStored();
    return loaded;
}

bool EditorSession::holdsNothing() const
{
    return !defaultLoaded_ && source.file.isEmpty() && !source.board && !hasUnsavedEdits();
}

EditorSession EditorSession::startUp(int product, const std::optional<QString>& folder)
{
    return startUp(QString::number(product), folder);
}

std::optional<int> EditorSession::product() const
{
    return Editor::selectedProduct(form);
}

DataFile::LoadResult EditorSession::open(const QString& path)
{
    const DataFile::LoadResult loaded = DataFile::load(path, image, DataFile::MarkerRule::Required);
    if (loaded.ok()) {
        Editor::UpdateGUI(form, image);
        source = fileSource(path);
        markStored();
    }
    return loaded;
}

DataFile::LoadResult EditorSession::openCopy(const QString& path, BoardImage& copy) const
{
    copy = image;
    return DataFile::load(path, copy, DataFile::MarkerRule::Required);
}

void EditorSession::show(const BoardImage& fromBoard)
{
    takeRead(fromBoard);
    showRead();
}

void EditorSession::showRead()
{
    Editor::UpdateGUI(form, image);
    markStored();
}

void EditorSession::takeRead(const BoardImage& fromBoard)
{
    image = fromBoard;
    const std::optional<int> port = Editor::selectedPort(form);
    source = {QString(), true, port ? QStringLiteral("COM%1").arg(*port) : QString()};
}

EditorSession::SaveCheck EditorSession::checkSave()
{
    // Only an image that came from a valid file or a board can be saved.
    if (!WordCodec::hasMarker(image.word(MemoryMap::kHeader)))
        return {true, {}};
    return {false, Editor::completeEntries(form)};
}

DataFile::SaveResult EditorSession::save(const QString& path)
{
    Editor::ReadGUI(form, image);
    const DataFile::SaveResult saved = DataFile::save(path, image);
    if (saved.ok()) {
        source = fileSource(path);
        markStored();
    }
    return saved;
}

EditorSession::Outgoing EditorSession::outgoing()
{
    Outgoing out{image, Editor::completeEntries(form), {}};
    if (!out.entries.isEmpty())
        return out;
    Editor::ReadGUI(form, out.image);
    if (const std::optional<int> p = product())
        out.words = Editor::malformedWords(out.image, Product::info(*p).lastWord);
    return out;
}

QString EditorSession::linkCheckCode()
{
    QString& code = form.ProgAccessCode.text;
    code = FormControls::leftText(*FormControls::find(QStringLiteral("ProgAccessCode")), code);
    return code;
}

BoardImage EditorSession::imageShown() const
{
    BoardImage copy = image;
    Editor::ReadGUI(form, copy);
    return copy;
}

bool EditorSession::hasUnsavedEdits() const
{
    const BoardImage shown = imageShown();
    for (int i = 0; i <= MemoryMap::kLastFileWord; ++i) {
        if (shown.word(i) != stored_.word(i))
            return true;
    }
    return false;
}
