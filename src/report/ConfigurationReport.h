#pragma once

#include "EditorSession.h"

#include <QDateTime>
#include <QPageSize>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QPagedPaintDevice;

// One configuration on paper, to be kept with a radio's service record: the
// product, where the configuration came from (a file, or a board and its port),
// when the sheet was made, the program's version and a short checksum that matches
// the sheet to its file, then every setting by caption in the order of the window
// (controls the window greys out marked "*") and the group and speed-dial lists with
// their tags and locks. The settings are walked as `vireo dump` walks them.
// As plain text, HTML, and pages for a printer or a PDF file: one page for the
// products without tags, at most two for the UT-117 and VT-60, A4 or Letter, black
// on white. The window's File menu and `vireo report` both make it here.
class ConfigurationReport {
public:
    explicit ConfigurationReport(const EditorSession& session, QDateTime when = QDateTime::currentDateTime());

    // The first 8 hexadecimal digits, upper case, of the SHA-256 of the data file
    // Save As writes for this image (words 0..250, each quoted, CR LF).
    static QString checksum(const BoardImage& image);

    // The lines above the settings: ("Product", "Vertex VT-60 (Vireo)"), ("File", ...),
    // ("Date", ...), ("Program", ...), ("Checksum", ...).
    const std::vector<std::pair<QString, QString>>& header() const { return header_; }

    QString text() const;
    QString html() const;
    // Lays the sheet out on the device's pages, with a footer on each that names the
    // product, the file, the checksum and the page. The number of pages printed; 0
    // when the device could not be painted on.
    int print(QPagedPaintDevice& device) const;
    // The whole report as a PDF file on paper of that size.
    QByteArray pdf(const QPageSize& paper) const;

    // A4, or Letter where the desktop's locale measures in inches.
    static QPageSize defaultPaper();
    // The margins of every page, in millimetres.
    static constexpr double kMarginMm = 15.0;

    enum class Format { Text, Html, Pdf };
    // A report file's format by its name: .txt, .html or .htm, .pdf (case ignored).
    static std::optional<Format> formatFor(const QString& path);
    // Saves the report in the format its name asks for, replacing a file only once the
    // new one is complete. Empty when saved, else why not.
    QString save(const QString& path, const QPageSize& paper) const;

private:
    QString footer() const;

    Form form_;
    std::vector<std::pair<QString, QString>> header_;
    QString shortName_;
    QString fileName_;
    QString checksum_;
    QString when_;
};
