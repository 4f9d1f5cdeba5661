#pragma once

#include "BoardImage.h"
#include "DataFile.h"
#include "Form.h"

#include <QString>
#include <QStringList>

#include <optional>

// One configuration in the editor: the form and the board image together, with the
// steps the programmer's window takes on them (start-up, Open, Save As, the image a
// write sends). The window, every vireo command and Compare run these steps on a
// session; none keeps a copy of its own.
class EditorSession {
public:
    EditorSession();

    Form form = Form::designTime();
    BoardImage image;

    // Start-up: the product's profile for `product` as Config.ini holds it (a value
    // that is no product ticks nothing), then, when a folder is given, the product's
    // default data file from `folder`, or from `installedFolder` when `folder` has
    // none. A missing or unreadable default file leaves the design-time contents.
    static EditorSession startUp(const std::optional<QString>& product, const std::optional<QString>& folder = {},
                                 const QString& installedFolder = {});
    // The same for a product index 1..Product::kCount.
    static EditorSession startUp(int product, const std::optional<QString>& folder = {});
    // The product's default data file from `folder`, or from `installedFolder` when
    // `folder` has none, into the image and shown, as start-up loads it; false (the
    // controls as they were) without a ticked product or a readable file. Either way
    // what the controls then give counts as stored: it is no edit of the technician's.
    bool loadDefault(const QString& folder, const QString& installedFolder = {});
    // The default data file was loaded and shown (at start-up, or for the first product).
    bool defaultLoaded() const { return defaultLoaded_; }
    // The window holds nothing yet: no file, default file or board shown, and no edit.
    bool holdsNothing() const;
    // The first ticked product, if any.
    std::optional<int> product() const;

    // Open: the file is read and checked completely, its words replace the image's
    // and the image is shown. A refused file (no "E5" marker, unreadable, too long)
    // leaves the session as it was.
    DataFile::LoadResult open(const QString& path);
    // A file's words as Open would take them, onto a copy of the image.
    DataFile::LoadResult openCopy(const QString& path, BoardImage& copy) const;
    // A read's words replace the image, and the image is shown.
    void show(const BoardImage& fromBoard);
    // A read's words replace the image, to be shown later (after "Transfer Complete").
    void takeRead(const BoardImage& fromBoard);
    // The image taken from a board shown in the controls.
    void showRead();

    // Where the configuration came from, for the configuration report: the data file
    // last opened or saved (the default file of start-up), or the board last read.
    struct Source {
        QString file; // absolute path; empty after a read or before any file
        bool board = false;
        QString port; // the port ticked at the read ("COM1"); empty when none was
    };
    Source source;

    // Save As up to the file dialog: the image must hold a board configuration (word 0
    // ending in "E5"); the entries are completed, and any that cannot be written named.
    struct SaveCheck {
        bool invalidImage = false;
        QStringList entries;
        bool ok() const { return !invalidImage && entries.isEmpty(); }
    };
    SaveCheck checkSave();
    // Save As once the name is chosen: the controls into the image, the image to the file.
    DataFile::SaveResult save(const QString& path);

    // What "Write to Logic Board" sends, built once: the entries completed and
    // checked, the controls read into a copy of the image, and, with a product,
    // words 0..N a board cannot take refused (a file may have carried one in).
    struct Outgoing {
        BoardImage image;
        QStringList entries; // boxes that cannot be written
        QStringList words;   // other words a board cannot take
        bool ok() const { return entries.isEmpty() && words.isEmpty(); }
    };
    Outgoing outgoing();

    // The access code a link check sends: the box completed as leaving it completes it
    // (an empty box gives 47203), as a write completes it before sending.
    QString linkCheckCode();

    // The image the controls give now (ReadGUI onto a copy); the session is unchanged.
    BoardImage imageShown() const;

    // Whether the controls give other words 0..250 (what Save As writes) than they gave
    // when a file was last opened or saved, or a board last read or written: the edits
    // that replacing the controls would lose. Derived from the images, so no command can
    // forget to say so.
    bool hasUnsavedEdits() const;
    // What the controls give now is kept in a file or on a board (after a read is
    // shown, or a write has ended well).
    void markStored() { stored_ = imageShown(); }

private:
    bool defaultLoaded_ = false;
    BoardImage stored_;
};
