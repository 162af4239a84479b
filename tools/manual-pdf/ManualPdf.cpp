// Turns a manual written in Markdown into a PDF with Qt's own text layout, at build time:
//   manual-pdf SOURCE.md PICTURES-FOLDER OUTPUT.pdf
// Pictures are looked up by name in PICTURES-FOLDER and scaled down to the page's width; a picture that is
// not there is left out (the build may skip taking them), with a note on standard error.
//   manual-pdf --language-file PATH VALUE
// writes a "Language.ini" holding VALUE unless PATH already exists (a user's choice is kept).
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <QtEndian>
#include <cstdio>

namespace {
int Fail(const QString &text) {
    std::fprintf(stderr, "manual-pdf: %s\n", qPrintable(text));
    return 1;
}

int WriteLanguageFile(const QString &path, int value) {
    if (QFileInfo::exists(path))
        return 0;
    QFile file(path);
    char record[4];
    qToLittleEndian<qint32>(value, record);
    if (!file.open(QIODevice::WriteOnly) || file.write(record, 4) != 4)
        return Fail(QStringLiteral("cannot write ") + path);
    return 0;
}

struct ImageAt {
    int position;
    QTextImageFormat format;
};

QList<ImageAt> FindImages(const QTextDocument &document) {
    QList<ImageAt> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.append({it.fragment().position(), it.fragment().charFormat().toImageFormat()});
    return images;
}

// Loads every picture into the document, no wider than `width` layout units; drops the missing ones.
void PlacePictures(QTextDocument &document, const QString &folder, qreal width) {
    const QList<ImageAt> images = FindImages(document);
    for (auto it = images.crbegin(); it != images.crend(); ++it) {
        QTextCursor cursor(&document);
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + 1, QTextCursor::KeepAnchor);
        const QString name = it->format.name();
        const QImage image(folder + QLatin1Char('/') + name);
        if (image.isNull()) {
            std::fprintf(stderr, "manual-pdf: no picture %s, left out\n", qPrintable(name));
            cursor.removeSelectedText();
            continue;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format = it->format;
        const qreal scale = qMin<qreal>(1.0, width / image.width());
        format.setWidth(image.width() * scale);
        format.setHeight(image.height() * scale);
        cursor.setCharFormat(format);
    }
}

// The Markdown reader draws tables cramped; give the cells room and a thin rule.
void SpaceTables(QTextDocument &document) {
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setCellPadding(4);
            format.setCellSpacing(0);
            format.setBorder(0.5);
            format.setBorderCollapse(true);
            table->setFormat(format);
        }
}

QString FirstHeading(const QTextDocument &document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1)
            return block.text();
    return QString();
}
} // namespace

int main(int argc, char **argv) {
    // No display is needed, nor wanted, to lay out text.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--language-file"))
        return WriteLanguageFile(arguments[2], arguments[3].toInt());
    if (arguments.size() != 4)
        return Fail(QStringLiteral("usage: manual-pdf SOURCE.md PICTURES-FOLDER OUTPUT.pdf"));

    QFile source(arguments[1]);
    if (!source.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read ") + arguments[1]);
    QTextDocument document;
    QFont font;
    font.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Sans")});
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(source.readAll()), QTextDocument::MarkdownDialectGitHub);

    // QTextDocument::print lays the text out in screen units on an A4 page with 2 cm margins.
    const qreal dpi =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchX() : 96;
    const qreal pageWidth = QPageSize(QPageSize::A4).size(QPageSize::Inch).width() * dpi;
    SpaceTables(document);
    PlacePictures(document, arguments[2], pageWidth - 2 * (2 / 2.54) * dpi - 8);

    // Written beside the target and renamed at the end: a failed run leaves no half manual behind.
    const QString output = arguments[3];
    const QString partial = output + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(FirstHeading(document));
        writer.setCreator(QStringLiteral("QVR Fuel"));
        document.print(&writer);
    }
    if (QFileInfo(partial).size() == 0)
        return Fail(QStringLiteral("nothing written to ") + partial);
    QFile::remove(output);
    if (!QFile::rename(partial, output))
        return Fail(QStringLiteral("cannot write ") + output);
    return 0;
}
