// Draws the program's icon for the desktop's icon theme (PNG files at the
// theme's sizes and an SVG file) and for Windows (one .ico file), from one
// description of the notes icon that the tray shows (Icons::notes()). The tray's icon exists only at 16 and
// 32 pixels; the menus and software centres want 48 and 256 too, and scaling a 32-pixel picture up would blur
// it, so the drawing is repeated here as shapes on the same 32-unit grid and drawn afresh at each size.
//
//   render_icon OUTDIR      writes OUTDIR/<N>x<N>/apps/quedrino.png for every
//                           size and OUTDIR/scalable/apps/quedrino.svg
//   render_icon --ico FILE  writes FILE, an icon file holding every size
//   render_icon --check     exits 1 unless the drawing below, at 16 and 32
//                           pixels, is pixel for pixel the tray's icon

#include "ui/Icons.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Shape
{
    enum Kind { Rect, Line, Circle } kind;
    QRectF rect; // Rect; for Circle the centre and radius sit in x, y, width
    QLineF line;
    QColor stroke; // invalid: no outline
    QColor fill; // invalid: no fill
};

constexpr double strokeWidth = 1.5;

// A sheet of notes with a red binding, in the order Icons::notes() paints it.
std::vector<Shape> notesShapes()
{
    std::vector<Shape> shapes;
    shapes.push_back({Shape::Rect, QRectF(5, 5, 22, 25), {}, QColor(90, 90, 90), QColor(255, 255, 224)});
    for (int y = 12; y <= 26; y += 4) {
        shapes.push_back({Shape::Line, {}, QLineF(8, y, 24, y), QColor(70, 110, 200), {}});
    }
    shapes.push_back({Shape::Rect, QRectF(4, 2, 24, 6), {}, {}, QColor(200, 20, 20)});
    for (int x = 8; x <= 24; x += 5) {
        shapes.push_back({Shape::Circle, QRectF(x, 5, 1.3, 0), {}, {}, QColor(255, 255, 255)});
    }
    return shapes;
}

QPixmap paintShapes(const std::vector<Shape>& shapes, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    for (const Shape& s : shapes) {
        p.setPen(s.stroke.isValid() ? QPen(s.stroke, strokeWidth) : QPen(Qt::NoPen));
        p.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        switch (s.kind) {
        case Shape::Rect:
            p.drawRect(s.rect);
            break;
        case Shape::Line:
            p.drawLine(s.line);
            break;
        case Shape::Circle:
            p.drawEllipse(s.rect.topLeft(), s.rect.width(), s.rect.width());
            break;
        }
    }
    return pixmap;
}

QString svgColor(const QColor& c)
{
    return c.isValid() ? c.name(QColor::HexRgb) : QStringLiteral("none");
}

// The same shapes in SVG. Qt's default pen has square caps and bevelled
// joins; the SVG says so, so both draw the same outlines.
QString svgText(const std::vector<Shape>& shapes)
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n"
      << "  <title>Quedrino</title>\n";
    for (const Shape& sh : shapes) {
        const QString paint
            = QStringLiteral(" fill=\"%1\" stroke=\"%2\"%3")
                  .arg(svgColor(sh.fill), svgColor(sh.stroke),
                       sh.stroke.isValid() ? QStringLiteral(" stroke-width=\"%1\" stroke-linecap=\"square\" "
                                                            "stroke-linejoin=\"bevel\"")
                                                 .arg(strokeWidth)
                                           : QString());
        switch (sh.kind) {
        case Shape::Rect:
            s << "  <rect x=\"" << sh.rect.x() << "\" y=\"" << sh.rect.y() << "\" width=\"" << sh.rect.width()
              << "\" height=\"" << sh.rect.height() << "\"" << paint << "/>\n";
            break;
        case Shape::Line:
            s << "  <line x1=\"" << sh.line.x1() << "\" y1=\"" << sh.line.y1() << "\" x2=\"" << sh.line.x2()
              << "\" y2=\"" << sh.line.y2() << "\"" << paint << "/>\n";
            break;
        case Shape::Circle:
            s << "  <circle cx=\"" << sh.rect.x() << "\" cy=\"" << sh.rect.y() << "\" r=\"" << sh.rect.width()
              << "\"" << paint << "/>\n";
            break;
        }
    }
    s << "</svg>\n";
    return out;
}

// How many pixels of the drawing at SIZE differ from the tray's icon.
int differingPixels(int size)
{
    const QImage tray = Icons::notes().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = paintShapes(notesShapes(), size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (tray.size() != drawn.size()) {
        return size * size;
    }
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            differing += tray.pixel(x, y) != drawn.pixel(x, y);
        }
    }
    return differing;
}

constexpr int iconSizes[] = {16, 32, 48, 256};

// At the tray's own sizes the tray's very pixels; elsewhere the shapes.
QPixmap iconAt(int size)
{
    return size <= 32 ? Icons::notes().pixmap(size, size) : paintShapes(notesShapes(), size);
}

template <typename T> void appendLittleEndian(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// An icon file whose images are PNG files, as Windows reads them since
// Vista: a header, one directory entry per image, then the images.
std::optional<QByteArray> icoFile()
{
    std::vector<QByteArray> images;
    for (int size : iconSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        const QPixmap pixmap = iconAt(size);
        if (pixmap.size() != QSize(size, size) || !buffer.open(QIODevice::WriteOnly)
            || !pixmap.save(&buffer, "PNG")) {
            return std::nullopt;
        }
        images.push_back(png);
    }
    constexpr quint32 headerSize = 6;
    constexpr quint32 entrySize = 16;
    QByteArray out;
    appendLittleEndian<quint16>(out, 0); // reserved
    appendLittleEndian<quint16>(out, 1); // an icon, not a cursor
    appendLittleEndian<quint16>(out, quint16(images.size()));
    quint32 offset = headerSize + entrySize * quint32(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = iconSizes[i];
        const auto side = quint8(size >= 256 ? 0 : size); // 0 stands for 256
        out.append(char(side)).append(char(side));
        out.append(char(0)).append(char(0)); // no palette, reserved
        appendLittleEndian<quint16>(out, 1); // colour planes
        appendLittleEndian<quint16>(out, 32); // bits per pixel
        appendLittleEndian<quint32>(out, quint32(images[i].size()));
        appendLittleEndian<quint32>(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& png : images) {
        out.append(png);
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool ico = args.size() == 3 && args[1] == QStringLiteral("--ico");
    if (args.size() != 2 && !ico) {
        std::fputs("usage: render_icon OUTDIR | --ico FILE | --check\n", stderr);
        return 2;
    }

    if (args[1] == QStringLiteral("--check")) {
        int failures = 0;
        for (int size : {16, 32}) {
            const int differing = differingPixels(size);
            std::printf("%s: the drawing at %d px %s the tray's icon (%d of %d pixels differ)\n",
                        differing == 0 ? "PASS" : "FAIL", size, differing == 0 ? "is" : "is not", differing,
                        size * size);
            failures += differing != 0;
        }
        return failures == 0 ? 0 : 1;
    }

    if (ico) {
        const std::optional<QByteArray> bytes = icoFile();
        if (!bytes || !writeFile(args[2], *bytes)) {
            std::fprintf(stderr, "render_icon: cannot write the icon file %s\n", qPrintable(args[2]));
            return 1;
        }
        return 0;
    }

    const QDir out(args[1]);
    for (int size : iconSizes) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        const QPixmap pixmap = iconAt(size);
        if (!out.mkpath(dir) || pixmap.size() != QSize(size, size)
            || !pixmap.save(out.filePath(dir + QStringLiteral("/quedrino.png")), "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write the %d px icon in %s\n", size,
                         qPrintable(out.path()));
            return 1;
        }
    }
    if (!out.mkpath(QStringLiteral("scalable/apps"))
        || !writeFile(out.filePath(QStringLiteral("scalable/apps/quedrino.svg")),
                      svgText(notesShapes()).toUtf8())) {
        std::fprintf(stderr, "render_icon: cannot write the SVG icon in %s\n", qPrintable(out.path()));
        return 1;
    }
    return 0;
}
