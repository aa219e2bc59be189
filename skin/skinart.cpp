// Draws the skin's images and writes skin.xml from the component table. Every image is a 24-bit
// bottom-up BMP; 0xFF00FF is the transparent key. All drawing is in one dark theme: a single chrome
// colour for every surface (so controls sit seamlessly on any background), light grey glyphs, amber
// for hover and checked states.
//
// Usage: trevo_skinart <output folder>  (writes one folder per language, each with skin.xml and
// the BMP files)
//        trevo_skinart --program <output folder>  (writes the program's own pictures in the theme)

#include "skintable.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const QColor kKey(255, 0, 255);
const QColor kChrome(0x1E, 0x1F, 0x22);
const QColor kLine(0x2C, 0x2E, 0x33);
const QColor kDark(0x12, 0x13, 0x14);
const QColor kListBg(0x17, 0x17, 0x17);
const QColor kGlyph(0xD2, 0xD4, 0xD8);
const QColor kText(0x8B, 0x8B, 0x8B);
const QColor kAccent(0xF2, 0xBB, 0x30);
const QColor kAccentDark(0xB8, 0x86, 0x1A);
const QColor kDisabled(0x4A, 0x4C, 0x50);
const QColor kGroove(0x36, 0x38, 0x3E);
const QColor kHoverBg(0x2E, 0x30, 0x36);

const char* kFontFace = "NanumGothic";

// The languages that get a skin folder of their own: the settings pages carry their captions.
struct Text {
    const char* english;
    const char* korean;
    const char* japanese;
};
enum Language { Korean, Japanese, English };
Language g_language = English;

QString Translate(const Text& text) {
    switch (g_language) {
    case Korean:
        return QString::fromUtf8(text.korean);
    case Japanese:
        return QString::fromUtf8(text.japanese);
    case English:
        break;
    }
    return QString::fromUtf8(text.english);
}

// Glyphs in a 24 x 24 design box.
void Glyph(QPainter& painter, const std::string& icon, const QColor& color) {
    QPen pen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    auto fill = [&painter, &color](const QPainterPath& path) {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(path);
        painter.restore();
    };
    auto triangle = [](qreal x1, qreal y1, qreal x2, qreal y2, qreal x3, qreal y3) {
        QPainterPath path;
        path.moveTo(x1, y1);
        path.lineTo(x2, y2);
        path.lineTo(x3, y3);
        path.closeSubpath();
        return path;
    };
    auto rect = [](qreal x, qreal y, qreal w, qreal h, qreal radius = 0.8) {
        QPainterPath path;
        path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
        return path;
    };
    if (icon == "play") {
        fill(triangle(8, 5, 19.5, 12, 8, 19));
    } else if (icon == "pause") {
        fill(rect(6.5, 5, 4, 14));
        fill(rect(13.5, 5, 4, 14));
    } else if (icon == "stop") {
        fill(rect(6, 6, 12, 12, 1.5));
    } else if (icon == "prev") {
        fill(rect(4, 6, 2.5, 12));
        fill(triangle(13.5, 6, 7, 12, 13.5, 18));
        fill(triangle(20.5, 6, 14, 12, 20.5, 18));
    } else if (icon == "next") {
        fill(triangle(3.5, 6, 10, 12, 3.5, 18));
        fill(triangle(10.5, 6, 17, 12, 10.5, 18));
        fill(rect(17.5, 6, 2.5, 12));
    } else if (icon == "step") {
        fill(triangle(6, 6, 14, 12, 6, 18));
        fill(rect(15.5, 6, 2.5, 12));
    } else if (icon == "capture") {
        painter.drawRoundedRect(QRectF(3, 7.5, 18, 12.5), 2.5, 2.5);
        painter.drawEllipse(QPointF(12, 13.75), 3.5, 3.5);
        painter.drawLine(QPointF(8.5, 7.5), QPointF(10, 4.5));
        painter.drawLine(QPointF(10, 4.5), QPointF(14, 4.5));
        painter.drawLine(QPointF(14, 4.5), QPointF(15.5, 7.5));
    } else if (icon == "defog") {
        painter.drawEllipse(QPointF(12, 8.5), 3.5, 3.5);
        painter.drawLine(QPointF(4, 15), QPointF(20, 15));
        painter.drawLine(QPointF(6, 18.5), QPointF(18, 18.5));
        painter.drawLine(QPointF(9, 22), QPointF(15, 22));
    } else if (icon == "map") {
        QPainterPath pin;
        pin.moveTo(12, 21.5);
        pin.cubicTo(7, 15.5, 5.5, 12.5, 5.5, 9.5);
        pin.arcTo(QRectF(5.5, 3, 13, 13), 180, -180);
        pin.cubicTo(18.5, 12.5, 17, 15.5, 12, 21.5);
        painter.drawPath(pin);
        painter.drawEllipse(QPointF(12, 9.5), 2.2, 2.2);
    } else if (icon == "sensor") {
        const QPointF wave[] = {{2.5, 12},   {6.5, 12},  {8.5, 6},  {11.5, 18},
                                {14.5, 7.5}, {16.5, 12}, {21.5, 12}};
        painter.drawPolyline(wave, 7);
    } else if (icon == "playlist") {
        painter.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
        painter.drawLine(QPointF(4, 11.5), QPointF(20, 11.5));
        painter.drawLine(QPointF(4, 16.5), QPointF(12, 16.5));
        fill(triangle(15, 14, 21, 17.5, 15, 21));
    } else if (icon == "open") {
        QPainterPath folder;
        folder.moveTo(3, 6.5);
        folder.lineTo(9, 6.5);
        folder.lineTo(11, 8.5);
        folder.lineTo(21, 8.5);
        folder.lineTo(21, 18.5);
        folder.lineTo(3, 18.5);
        folder.closeSubpath();
        painter.drawPath(folder);
    } else if (icon == "exit" || icon == "close" || icon == "cancel") {
        painter.drawLine(QPointF(7, 7), QPointF(17, 17));
        painter.drawLine(QPointF(17, 7), QPointF(7, 17));
    } else if (icon == "min") {
        painter.drawLine(QPointF(7, 16), QPointF(17, 16));
    } else if (icon == "lock") {
        fill(rect(6, 11, 12, 9, 1.5));
        painter.drawArc(QRectF(8.5, 5, 7, 10), 0, 180 * 16);
        painter.drawLine(QPointF(8.5, 10), QPointF(8.5, 11));
        painter.drawLine(QPointF(15.5, 10), QPointF(15.5, 11));
    } else if (icon == "save") {
        painter.drawRoundedRect(QRectF(4, 4, 16, 16), 1.5, 1.5);
        painter.drawRect(QRectF(8, 4, 8, 5));
        painter.drawRect(QRectF(7.5, 13, 9, 7));
    } else if (icon == "print") {
        painter.drawRect(QRectF(7, 4, 10, 5));
        painter.drawRoundedRect(QRectF(4, 9, 16, 8), 1.5, 1.5);
        fill(rect(7, 14, 10, 6, 0.5));
    } else if (icon == "zoomin" || icon == "zoomout") {
        painter.drawEllipse(QPointF(10, 10), 5.5, 5.5);
        painter.drawLine(QPointF(14.2, 14.2), QPointF(20, 20));
        painter.drawLine(QPointF(7.5, 10), QPointF(12.5, 10));
        if (icon == "zoomin") {
            painter.drawLine(QPointF(10, 7.5), QPointF(10, 12.5));
        }
    } else if (icon == "fit") {
        const QPointF corners[4][3] = {{{4, 9}, {4, 4}, {9, 4}},
                                       {{15, 4}, {20, 4}, {20, 9}},
                                       {{20, 15}, {20, 20}, {15, 20}},
                                       {{9, 20}, {4, 20}, {4, 15}}};
        for (const auto& corner : corners) {
            painter.drawPolyline(corner, 3);
        }
    } else if (icon == "ok") {
        const QPointF check[] = {{5, 12.5}, {10, 17.5}, {19, 7}};
        painter.drawPolyline(check, 3);
    } else if (icon.size() == 4 && icon.compare(0, 3, "tab") == 0) {
        // "taba" to "tabe": the page numbers 1 to 5.
        QFont font = painter.font();
        font.setPixelSize(16);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QString(QChar('1' + (icon[3] - 'a'))));
    } else if (icon == "gear") {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        for (int tooth = 0; tooth < 8; ++tooth) {
            painter.save();
            painter.translate(12, 12);
            painter.rotate(45.0 * tooth);
            painter.drawRoundedRect(QRectF(-1.8, -9.5, 3.6, 5), 0.8, 0.8);
            painter.restore();
        }
        painter.restore();
        painter.setPen(QPen(color, 2.6));
        painter.drawEllipse(QPointF(12, 12), 5.2, 5.2);
    } else if (icon == "format") {
        QPainterPath card;
        card.moveTo(6, 3);
        card.lineTo(15, 3);
        card.lineTo(19, 7);
        card.lineTo(19, 21);
        card.lineTo(6, 21);
        card.closeSubpath();
        painter.drawPath(card);
        painter.drawLine(QPointF(9.5, 6), QPointF(9.5, 9));
        painter.drawLine(QPointF(12.5, 6), QPointF(12.5, 9));
        painter.drawLine(QPointF(15.5, 7.5), QPointF(15.5, 9));
    } else if (icon == "speaker") {
        QPainterPath body;
        body.moveTo(4, 9);
        body.lineTo(8, 9);
        body.lineTo(13, 4.5);
        body.lineTo(13, 19.5);
        body.lineTo(8, 15);
        body.lineTo(4, 15);
        body.closeSubpath();
        fill(body);
        painter.drawArc(QRectF(11, 7, 8, 10), -60 * 16, 120 * 16);
    } else if (icon == "speed") {
        painter.drawArc(QRectF(3, 5, 18, 18), 0, 180 * 16);
        painter.drawLine(QPointF(12, 14), QPointF(17, 8.5));
        fill(rect(10.5, 12.5, 3, 3, 1.5));
    } else if (icon == "gps") {
        painter.drawEllipse(QPointF(12, 12), 3, 3);
        painter.drawEllipse(QPointF(12, 12), 7.5, 7.5);
        painter.drawLine(QPointF(12, 2), QPointF(12, 5));
        painter.drawLine(QPointF(12, 19), QPointF(12, 22));
        painter.drawLine(QPointF(2, 12), QPointF(5, 12));
        painter.drawLine(QPointF(19, 12), QPointF(22, 12));
    } else {
        std::fprintf(stderr, "trevo_skinart: no glyph %s\n", icon.c_str());
        std::exit(1);
    }
}

// Draws a glyph scaled into the square of the given side, centred on the point.
void GlyphAt(QPainter& painter, const std::string& icon, const QColor& color, QPointF centre, qreal side) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(centre.x() - side / 2, centre.y() - side / 2);
    painter.scale(side / 24.0, side / 24.0);
    Glyph(painter, icon, color);
    painter.restore();
}

QImage NewImage(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// The clickable shape of a button: a circle for choice buttons, a rounded square otherwise.
QPainterPath ButtonShape(const std::string& icon, int width, int height) {
    QPainterPath shape;
    if (icon == "radio") {
        shape.addEllipse(QRectF(0, 0, width, height));
    } else {
        const qreal radius = std::min(width, height) / 5.0;
        shape.addRoundedRect(QRectF(0, 0, width, height), radius, radius);
    }
    return shape;
}

// Fills everything outside the shape with the key colour, with a hard edge so that no blended
// pixel is left between the shape and the key.
void KeyOutside(QImage& image, const QPainterPath& shape) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!shape.contains(QPointF(x + 0.5, y + 0.5))) {
                image.setPixelColor(x, y, kKey);
            }
        }
    }
}

QImage DrawButton(const std::string& icon, int width, int height, char state) {
    const QPainterPath shape = ButtonShape(icon, width, height);
    if (state == 'm') {
        QImage mask = NewImage(width, height, Qt::black);
        KeyOutside(mask, shape);
        return mask;
    }
    QImage image = NewImage(width, height, kChrome);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const bool wide = width > height;
    const QRectF inner(1.5, 1.5, width - 3, height - 3);
    const qreal radius = std::min(width, height) / 5.0;
    if (icon == "radio") {
        const QColor ring = state == 'd' ? kDisabled : state == 'n' ? kText : kAccent;
        painter.setPen(QPen(ring, 2.0));
        painter.setBrush(state == 'h' ? kHoverBg : kDark);
        painter.drawEllipse(QRectF(5, 5, width - 10, height - 10));
        if (state == 'p') {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kAccent);
            painter.drawEllipse(QPointF(width / 2.0, height / 2.0), width / 2.0 - 9, height / 2.0 - 9);
        }
    } else {
        QColor glyph = kGlyph;
        if (wide) {
            painter.setPen(QPen(state == 'h' ? kAccent : kLine, 1.5));
            painter.setBrush(state == 'p' ? kAccent : state == 'h' ? kHoverBg : kDark);
            painter.drawRoundedRect(inner, radius, radius);
        } else if (state == 'h' || state == 'p') {
            painter.setPen(Qt::NoPen);
            painter.setBrush(state == 'p' ? kAccent : kHoverBg);
            painter.drawRoundedRect(inner, radius, radius);
        }
        if (state == 'h') {
            glyph = kAccent;
        } else if (state == 'p') {
            glyph = kChrome;
        } else if (state == 'd') {
            glyph = kDisabled;
        }
        const qreal side = std::min(width, height) * (wide ? 0.7 : 0.72);
        GlyphAt(painter, icon, glyph, QPointF(width / 2.0, height / 2.0), side);
    }
    painter.end();
    KeyOutside(image, shape);
    return image;
}

// A slider thumb: a pill drawn without smoothing, since it is blitted with the key colour over
// whatever lies beneath.
QImage DrawThumb(int width, int height, char state) {
    QImage image = NewImage(width, height, kKey);
    QPainter painter(&image);
    const QColor fill = state == 'h'   ? kAccent
                        : state == 'p' ? kAccentDark
                        : state == 'd' ? kDisabled
                                       : kGlyph;
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRect(2, 1, width - 4, height - 2), 3, 3);
    return image;
}

// The filled part of the track, a band of four pixels across the middle.
QImage DrawChannel(int width, int height) {
    QImage image = NewImage(width, height, kKey);
    QPainter painter(&image);
    painter.fillRect(QRect(0, height / 2 - 2, width, 4), kAccent);
    return image;
}

void DrawGroove(QPainter& painter, const QRect& slider, const QColor& color) {
    painter.fillRect(QRect(slider.left(), slider.top() + slider.height() / 2 - 2, slider.width(), 4), color);
}

void DrawText(QPainter& painter, const QRect& area, const QString& text, int pixelSize, bool bold,
              const QColor& color, int flags = Qt::AlignCenter) {
    // Japanese captions take the Japanese face throughout: the Korean face holds only some kanji,
    // and a word drawn from two faces looks uneven. Elsewhere, kanji the Korean face lacks come
    // from the Japanese one.
    QFont font;
    if (g_language == Japanese)
        font.setFamilies({"Noto Sans CJK JP", kFontFace});
    else
        font.setFamilies({kFontFace, "Noto Sans CJK JP"});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(area, flags, text);
    painter.restore();
}

QImage Chrome(int width, int height) {
    return NewImage(width, height, kChrome);
}

// The title bar's first piece: the mark, the program's name and the recorder model.
QImage Title(const QString& model) {
    QImage image = Chrome(420, 40);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRect(0, 39, 420, 1), kLine);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(QRectF(10, 9, 22, 22), 5, 5);
    GlyphAt(painter, "play", kChrome, QPointF(21, 20), 18);
    DrawText(painter, QRect(42, 0, 150, 40), "TREVO VIEWER", 15, true, kGlyph,
             Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(QPen(kLine, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(180.5, 10.5, 100, 19), 9, 9);
    DrawText(painter, QRect(180, 10, 101, 20), model, 11, false, kText);
    return image;
}

QImage TitlePiece(int width) {
    QImage image = Chrome(width, 40);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 39, width, 1), kLine);
    return image;
}

QImage Edge(int width, int height) {
    QImage image = Chrome(width, height);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 1, height), kLine);
    painter.fillRect(QRect(width - 1, 0, 1, height), kLine);
    return image;
}

// Where the program docks the map panel and the playlist in the main window: their places are the
// program's, their sizes the skin's.
constexpr QPoint kMapDock(905, 60);
constexpr QPoint kPlaylistDock(905, 393);

// A recess of the right column where a panel docks; the panel covers it while it is shown.
void PanelWell(QPainter& painter, const QRect& area) {
    painter.setPen(QPen(kLine, 1));
    painter.setBrush(kDark);
    painter.drawRoundedRect(QRectF(area).adjusted(-0.5, -0.5, 0.5, 0.5), 4, 4);
}

// The main window's right column: the recesses of the map panel and the playlist, and the
// program's mark, quietly, where the map shows while there is a position to show.
QImage RightColumn() {
    const SkinComponent* column = FindSkinComponent(0x10000019);
    const SkinComponent* map = FindSkinComponent(0x10000027);
    const SkinComponent* playlist = FindSkinComponent(0x100000CD);
    QImage image = Chrome(column->width, column->height);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 1, column->height), kLine);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPoint origin(column->x, column->y);
    const QRect mapArea(kMapDock - origin, QSize(map->width, map->height));
    PanelWell(painter, mapArea);
    PanelWell(painter, QRect(kPlaylistDock - origin, QSize(playlist->width, playlist->height)));

    const QColor mark(0x3A, 0x3C, 0x42);
    const QPointF centre = QRectF(mapArea).center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawRoundedRect(QRectF(centre.x() - 69, centre.y() - 11, 22, 22), 5, 5);
    GlyphAt(painter, "play", kDark, QPointF(centre.x() - 58, centre.y()), 18);
    DrawText(painter, QRect(int(centre.x()) - 39, int(centre.y()) - 20, 140, 40), "TREVO VIEWER", 15, true,
             mark, Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

QImage Strip(int width, bool groove) {
    QImage image = Chrome(width, 100);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, width, 1), kLine);
    if (groove) {
        const SkinComponent* strip = FindSkinComponent(0x1000001A);
        const SkinComponent* seek = FindSkinComponent(0x10000015);
        DrawGroove(painter, QRect(0, seek->y - strip->y, width, seek->height), kGroove);
    }
    return image;
}

QImage WithIcon(int width, int height, const std::string& icon, const QColor& color, int side) {
    QImage image = Chrome(width, height);
    QPainter painter(&image);
    GlyphAt(painter, icon, color, QPointF(width / 2.0, height / 2.0), side);
    return image;
}

QImage Unit(const QString& text, bool on) {
    QImage image = Chrome(48, 20);
    QPainter painter(&image);
    DrawText(painter, image.rect(), text, 13, true, on ? kAccent : kDisabled,
             Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

// A framed surface whose bottom edge is a line, with a glyph at the left as its caption.
QImage Header(int width, int height, const std::string& icon) {
    QImage image = Chrome(width, height);
    QPainter painter(&image);
    painter.fillRect(QRect(0, height - 1, width, 1), kLine);
    if (icon.empty()) {
        return image;
    }
    GlyphAt(painter, icon, kAccent, QPointF(8 + (height - 8) / 2.0, height / 2.0), height - 12);
    return image;
}

QImage ValueBox(int width, int height) {
    QImage image = Chrome(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kLine, 1));
    painter.setBrush(kDark);
    painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
    return image;
}

QImage Caption(bool on) {
    QImage image = Chrome(238, 22);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 238, 22), on ? kHoverBg : QColor(0x24, 0x25, 0x29));
    painter.fillRect(QRect(0, 0, 3, 22), on ? kAccent : kDisabled);
    return image;
}

QImage Graph() {
    QImage image = NewImage(640, 200, kDark);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 640, 28), kChrome);
    painter.fillRect(QRect(0, 28, 640, 1), kLine);
    GlyphAt(painter, "sensor", kAccent, QPointF(18, 14), 18);
    const SkinComponent* graph = FindSkinComponent(0x10000021);
    const SkinComponent* plot = FindSkinComponent(0x10000020);
    const QRect area(plot->x - graph->x, plot->y - graph->y, plot->width, plot->height);
    for (int line = 0; line <= 8; ++line) {
        const int y = area.top() + area.height() * line / 8;
        painter.fillRect(QRect(area.left(), y, area.width(), 1),
                         line == 4 ? kGroove : QColor(0x20, 0x22, 0x26));
    }
    for (int column = 0; column <= 12; ++column) {
        const int x = area.left() + area.width() * column / 12;
        painter.fillRect(QRect(x, area.top(), 1, area.height()), QColor(0x20, 0x22, 0x26));
    }
    const QColor axes[3] = {QColor(0xF2, 0x5C, 0x54), QColor(0x5C, 0xD6, 0x7A), QColor(0x4C, 0x9A, 0xF2)};
    const unsigned values[3] = {0x10000030, 0x10000031, 0x10000032};
    for (int axis = 0; axis < 3; ++axis) {
        const SkinComponent* value = FindSkinComponent(values[axis]);
        painter.fillRect(QRect(value->x - 8, value->y + value->height / 2 - 3, 6, 6), axes[axis]);
    }
    return image;
}

QImage OptionsBackground() {
    QImage image = Chrome(600, 560);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 600, 1), kLine);
    painter.fillRect(QRect(0, 559, 600, 1), kLine);
    painter.fillRect(QRect(0, 0, 1, 560), kLine);
    painter.fillRect(QRect(599, 0, 1, 560), kLine);
    painter.fillRect(QRect(0, 44, 600, 1), kLine);
    GlyphAt(painter, "gear", kAccent, QPointF(24, 22), 20);
    DrawText(painter, QRect(44, 0, 300, 44), Translate({"Settings", "설정", "設定"}), 15, true, kGlyph,
             Qt::AlignLeft | Qt::AlignVCenter);
    painter.fillRect(QRect(16, 500, 568, 1), kLine);
    return image;
}

// Captions of the settings pages' rows, and of single choices where the choice has a name.
struct RowCaption {
    int row;
    Text text;
};
struct ChoiceCaption {
    int row;
    int column;
    const char* text;
};
struct PageCaptions {
    std::vector<RowCaption> rows;
    std::vector<ChoiceCaption> choices;
};

PageCaptions CaptionsOf(const std::string& page) {
    const RowCaption drivingQuality = {0, {"Driving quality", "주행 화질", "走行画質"}};
    const RowCaption parkingQuality = {0, {"Parking quality", "주차 화질", "駐車画質"}};
    const RowCaption sharpness = {1, {"Sharpness", "선명도", "シャープネス"}};
    const RowCaption nightBright = {2, {"Night brightness", "야간 밝기", "夜間の明るさ"}};
    const RowCaption memoryPartition = {5, {"Memory partition", "메모리 분할", "メモリ分割"}};
    PageCaptions page1 = {{{1, {"Speed unit", "속도 단위", "速度単位"}},
                           {2, {"Microphone", "마이크", "マイク"}},
                           {3, {"Speaker", "스피커", "スピーカー"}},
                           {4, {"G-sensor sensitivity", "G센서 감도", "Gセンサー感度"}},
                           {5, {"Motion detection", "모션 감지", "モーション検知"}},
                           {6, {"Cut-off voltage", "차단 전압", "カットオフ電圧"}},
                           {7, {"Recorder clock", "블랙박스 시간", "本体の時刻"}}},
                          {{1, 0, "km/h"}, {1, 1, "mph"}}};
    PageCaptions page2 = {{{0, {"Driving impact", "주행 충격 감도", "走行衝撃感度"}},
                           {3, {"Microphone volume", "마이크 볼륨", "マイク音量"}},
                           {4, {"Speaker volume", "스피커 볼륨", "スピーカー音量"}},
                           {5, {"Rear mirror", "후방 좌우 반전", "リア映像反転"}}},
                          {}};
    PageCaptions page3 = {{{1, {"Parking impact", "주차 충격 감도", "駐車衝撃感度"}},
                           {2, {"Parking motion", "주차 모션 감도", "駐車モーション感度"}},
                           {3, {"ACC off delay", "ACC 지연 시간", "ACC遅延時間"}},
                           {6, {"Parking event ratio", "주차 이벤트 비율", "駐車イベント比率"}}},
                          {}};
    if (page == "page1_m0") {
        page1.rows.push_back(drivingQuality);
        return page1;
    }
    if (page == "page1") {
        return page1;
    }
    if (page == "page2_m0") {
        page2.rows.push_back(sharpness);
        page2.rows.push_back(nightBright);
        return page2;
    }
    if (page == "page2") {
        return page2;
    }
    if (page == "page3_m0") {
        page3.rows.push_back(parkingQuality);
        page3.rows.push_back(memoryPartition);
        return page3;
    }
    if (page == "page3") {
        page3.rows.push_back(memoryPartition);
        return page3;
    }
    if (page == "page3_m2") {
        return page3;
    }
    if (page == "page4") {
        return {{{0, {"GPS speed display", "GPS 속도 표시", "GPS速度表示"}},
                 {1, {"Time zone", "시간대", "タイムゾーン"}},
                 {2, {"Screen saver", "화면 보호기", "スクリーンセーバー"}},
                 {3, {"PIP mode", "PIP 모드", "PIPモード"}},
                 {4, {"Memory card", "메모리 카드", "メモリーカード"}},
                 {5, {"Format the card", "카드 포맷", "カードのフォーマット"}}},
                {}};
    }
    return {{{0, {"Rear camera sync", "후방 카메라 동기", "リアカメラ同期"}},
             {1, {"Channels", "채널 수", "チャンネル数"}},
             {2, {"One-channel view", "1채널 보기", "1チャンネル表示"}},
             {3, {"Recorder model", "블랙박스 모델", "ドラレコ機種"}}},
            {{3, 0, "R4"}, {3, 1, "T310"}, {3, 2, "R2"}, {3, 3, "A1"}}};
}

QImage Page(const std::string& page) {
    QImage image = Chrome(568, 440);
    QPainter painter(&image);
    painter.setPen(kLine);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, 567, 439));
    for (int row = 1; row < 10; ++row) {
        painter.fillRect(QRect(12, 12 + 44 * row - 8, 544, 1), QColor(0x25, 0x27, 0x2B));
    }
    const PageCaptions captions = CaptionsOf(page);
    for (const RowCaption& caption : captions.rows) {
        DrawText(painter, QRect(20, 12 + 44 * caption.row, 210, 28), Translate(caption.text), 14, false,
                 kGlyph, Qt::AlignLeft | Qt::AlignVCenter);
    }
    for (const ChoiceCaption& caption : captions.choices) {
        DrawText(painter, QRect(240 + 76 * caption.column + 31, 12 + 44 * caption.row, 44, 28), caption.text,
                 12, false, kText, Qt::AlignLeft | Qt::AlignVCenter);
    }
    return image;
}

QImage Bar() {
    QImage image = Chrome(1000, 80);
    QPainter painter(&image);
    painter.setPen(kLine);
    painter.drawRect(QRect(0, 0, 999, 79));
    painter.fillRect(QRect(364, 40, 1, 32), kLine);
    return image;
}

QImage Plate() {
    QImage image = Chrome(240, 48);
    QPainter painter(&image);
    GlyphAt(painter, "speaker", kText, QPointF(16, 12), 18);
    GlyphAt(painter, "speed", kText, QPointF(16, 36), 18);
    return image;
}

QImage Cover() {
    QImage image = Chrome(206, 48);
    QPainter painter(&image);
    DrawGroove(painter, QRect(4, 4, 196, 16), QColor(0x28, 0x2A, 0x2E));
    DrawGroove(painter, QRect(4, 28, 196, 16), QColor(0x28, 0x2A, 0x2E));
    return image;
}

QImage DefogPanel() {
    QImage image = Chrome(984, 92);
    QPainter painter(&image);
    for (int column = 1; column < 4; ++column) {
        painter.fillRect(QRect(246 * column - 1, 6, 1, 80), kLine);
    }
    return image;
}

QImage Fill(int width, int height, const QColor& color) {
    return NewImage(width, height, color);
}

// Scroll bar and header pieces of the playlist.
QImage Arrow(int width, int height, int direction) {
    QImage image = NewImage(width, height, QColor(0x1A, 0x1B, 0x1D));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(width / 2.0, height / 2.0);
    painter.rotate(90.0 * direction);
    painter.setPen(QPen(kText, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF chevron[] = {{-3.5, 1.75}, {0, -1.75}, {3.5, 1.75}};
    painter.drawPolyline(chevron, 3);
    return image;
}

QImage ScrollThumb(int width, int height) {
    QImage image = NewImage(width, height, QColor(0x1A, 0x1B, 0x1D));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3A, 0x3C, 0x42));
    painter.drawRoundedRect(QRect(2, 2, width - 4, height - 4), 3, 3);
    return image;
}

QImage HeaderPiece(int width, bool startLine, bool endLine) {
    QImage image = NewImage(width, 28, QColor(0x24, 0x24, 0x24));
    QPainter painter(&image);
    painter.fillRect(QRect(0, 27, width, 1), kAccentDark);
    if (startLine) {
        painter.fillRect(QRect(0, 0, 1, 28), kLine);
    }
    if (endLine) {
        painter.fillRect(QRect(width - 1, 5, 1, 18), kLine);
    }
    return image;
}

QImage ComboPiece(int width, int part) {
    QImage image = NewImage(width, 28, kDark);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, width, 1), kLine);
    painter.fillRect(QRect(0, 27, width, 1), kLine);
    if (part == 0) {
        painter.fillRect(QRect(0, 0, 1, 28), kLine);
    } else if (part == 2) {
        painter.fillRect(QRect(width - 1, 0, 1, 28), kLine);
        painter.fillRect(QRect(0, 5, 1, 18), kLine);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF chevron[] = {{9.5, 12}, {14, 16.5}, {18.5, 12}};
        painter.drawPolyline(chevron, 3);
    }
    return image;
}

// The pictures of the named image files that are not made by a pattern of their name.
std::map<std::string, std::function<QImage()>> NamedImages() {
    std::map<std::string, std::function<QImage()>> images = {
        {"dummy_8x8.bmp", [] { return Fill(8, 8, kDark); }},
        {"title_m0_420x40.bmp", [] { return Title("TREVO R4"); }},
        {"title_m1_420x40.bmp", [] { return Title("TREVO T310"); }},
        {"title_m2_420x40.bmp", [] { return Title("TREVO R2"); }},
        {"title_m3_420x40.bmp", [] { return Title("TREVO A1"); }},
        {"title_mid_8x40.bmp", [] { return TitlePiece(8); }},
        {"title_end_8x40.bmp", [] { return TitlePiece(8); }},
        {"edge_8x660.bmp", [] { return Edge(8, 660); }},
        {"edge_8x664.bmp", [] { return Edge(8, 664); }},
        {"edge_7x660.bmp", [] { return Edge(7, 660); }},
        {"edge_8x263.bmp", [] { return Edge(8, 263); }},
        {"column_383x660.bmp", RightColumn},
        {"strip_start_16x100.bmp", [] { return Strip(16, false); }},
        {"strip_mid_8x100.bmp", [] { return Strip(8, true); }},
        {"strip_end_16x100.bmp", [] { return Strip(16, false); }},
        {"plate_240x48.bmp", Plate},
        {"cover_206x48.bmp", Cover},
        {"chrome_40x20.bmp", [] { return Chrome(40, 20); }},
        {"chrome_40x24.bmp", [] { return Chrome(40, 24); }},
        {"chrome_100x40.bmp", [] { return Chrome(100, 40); }},
        {"chrome_130x48.bmp", [] { return Chrome(130, 48); }},
        {"chrome_360x8.bmp", [] { return Chrome(360, 8); }},
        {"chrome_1000x8.bmp", [] { return Chrome(1000, 8); }},
        {"separator_2x40.bmp", [] { return Fill(2, 40, kLine); }},
        {"gps_on_24x24.bmp", [] { return WithIcon(24, 24, "gps", kAccent, 20); }},
        {"gps_off_24x24.bmp", [] { return WithIcon(24, 24, "gps", kDisabled, 20); }},
        {"kmh_on_48x20.bmp", [] { return Unit("km/h", true); }},
        {"kmh_off_48x20.bmp", [] { return Unit("km/h", false); }},
        {"mph_on_48x20.bmp", [] { return Unit("mph", true); }},
        {"mph_off_48x20.bmp", [] { return Unit("mph", false); }},
        {"bar_1000x80.bmp", Bar},
        {"playlist_head_360x36.bmp", [] { return Header(360, 36, "playlist"); }},
        {"dark_344x263.bmp", [] { return Fill(344, 263, kListBg); }},
        {"graph_640x200.bmp", Graph},
        {"grip_top_start_120x28.bmp", [] { return Header(120, 28, "map"); }},
        {"grip_top_mid_8x28.bmp", [] { return Header(8, 28, ""); }},
        {"grip_top_end_8x28.bmp", [] { return Header(8, 28, ""); }},
        {"grip_side_8x8.bmp", [] { return Chrome(8, 8); }},
        {"defog_top_1000x36.bmp", [] { return Header(1000, 36, "defog"); }},
        {"defog_panel_984x92.bmp", DefogPanel},
        {"caption_on_238x22.bmp", [] { return Caption(true); }},
        {"caption_off_238x22.bmp", [] { return Caption(false); }},
        {"value_48x24.bmp", [] { return ValueBox(48, 24); }},
        {"value_50x24.bmp", [] { return ValueBox(50, 24); }},
        {"value_120x24.bmp", [] { return ValueBox(120, 24); }},
        {"opt_bg_600x560.bmp", OptionsBackground},
        {"page1_m0_568x440.bmp", [] { return Page("page1_m0"); }},
        {"page1_568x440.bmp", [] { return Page("page1"); }},
        {"page2_m0_568x440.bmp", [] { return Page("page2_m0"); }},
        {"page2_568x440.bmp", [] { return Page("page2"); }},
        {"page3_m0_568x440.bmp", [] { return Page("page3_m0"); }},
        {"page3_568x440.bmp", [] { return Page("page3"); }},
        {"page3_m2_568x440.bmp", [] { return Page("page3_m2"); }},
        {"page4_568x440.bmp", [] { return Page("page4"); }},
        {"page5_568x440.bmp", [] { return Page("page5"); }},
        {"hdr_start_4x28.bmp", [] { return HeaderPiece(4, true, false); }},
        {"hdr_span_4x28.bmp", [] { return HeaderPiece(4, false, false); }},
        {"hdr_end_4x28.bmp", [] { return HeaderPiece(4, false, true); }},
        {"hs_left_14x14.bmp", [] { return Arrow(14, 14, 3); }},
        {"hs_right_14x14.bmp", [] { return Arrow(14, 14, 1); }},
        {"hs_thumb_24x14.bmp", [] { return ScrollThumb(24, 14); }},
        {"hs_span_4x14.bmp", [] { return Fill(4, 14, QColor(0x1A, 0x1B, 0x1D)); }},
        // The list makes its vertical bar 8 pixels narrower than this cap.
        {"vs_top_22x4.bmp", [] { return Fill(22, 4, QColor(0x1A, 0x1B, 0x1D)); }},
        {"vs_bottom_14x4.bmp", [] { return Fill(14, 4, QColor(0x1A, 0x1B, 0x1D)); }},
        {"vs_up_14x14.bmp", [] { return Arrow(14, 14, 0); }},
        {"vs_down_14x14.bmp", [] { return Arrow(14, 14, 2); }},
        {"vs_span_14x4.bmp", [] { return Fill(14, 4, QColor(0x1A, 0x1B, 0x1D)); }},
        {"vs_thumb_14x32.bmp", [] { return ScrollThumb(14, 32); }},
        {"combo_left_6x28.bmp", [] { return ComboPiece(6, 0); }},
        {"combo_center_4x28.bmp", [] { return ComboPiece(4, 1); }},
        {"combo_right_28x28.bmp", [] { return ComboPiece(28, 2); }},
        {"list_top_4x2.bmp", [] { return Fill(4, 2, kLine); }},
        {"list_left_2x4.bmp", [] { return Fill(2, 4, kLine); }},
        {"list_right_2x4.bmp", [] { return Fill(2, 4, kLine); }},
        {"list_bottom_4x2.bmp", [] { return Fill(4, 2, kLine); }},
    };
    return images;
}

QImage MakeImage(const std::string& name) {
    static const std::map<std::string, std::function<QImage()>> named = NamedImages();
    const auto found = named.find(name);
    if (found != named.end()) {
        QImage image = found->second();
        // Backgrounds show the grooves of the sliders on them.
        for (const GrooveHost& host : GrooveHosts()) {
            if (host.image != name) {
                continue;
            }
            const SkinComponent* background = FindSkinComponent(host.hostId);
            QPainter painter(&image);
            for (unsigned sliderId : host.sliderIds) {
                const SkinComponent* slider = FindSkinComponent(sliderId);
                DrawGroove(painter,
                           QRect(slider->x - background->x, slider->y - background->y, slider->width,
                                 slider->height),
                           kGroove);
            }
        }
        return image;
    }
    // Buttons, thumbs and channels are named by what they show and their size.
    char icon[32] = {};
    int width = 0;
    int height = 0;
    char state = 0;
    if (std::sscanf(name.c_str(), "b_%31[a-z]_%dx%d_%c.bmp", icon, &width, &height, &state) == 4) {
        return DrawButton(icon, width, height, state);
    }
    if (std::sscanf(name.c_str(), "thumb_%dx%d_%c.bmp", &width, &height, &state) == 3) {
        return DrawThumb(width, height, state);
    }
    if (std::sscanf(name.c_str(), "chan_%dx%d.bmp", &width, &height) == 2) {
        return DrawChannel(width, height);
    }
    std::fprintf(stderr, "trevo_skinart: no picture for %s\n", name.c_str());
    std::exit(1);
}

// 24 bits per pixel, bottom-up, rows padded to four bytes.
bool WriteBmp(const QImage& image, const QString& path) {
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * 3 + 3) & ~3;
    const quint32 pixelBytes = static_cast<quint32>(stride) * static_cast<quint32>(height);
    QByteArray data(54 + static_cast<int>(pixelBytes), '\0');
    auto put16 = [&data](int offset, quint16 value) {
        data[offset] = static_cast<char>(value & 0xFF);
        data[offset + 1] = static_cast<char>(value >> 8);
    };
    auto put32 = [&data](int offset, quint32 value) {
        for (int byte = 0; byte < 4; ++byte) {
            data[offset + byte] = static_cast<char>((value >> (8 * byte)) & 0xFF);
        }
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, 54 + pixelBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, pixelBytes);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        const int row = 54 + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            data[row + 3 * x] = static_cast<char>(qBlue(pixel));
            data[row + 3 * x + 1] = static_cast<char>(qGreen(pixel));
            data[row + 3 * x + 2] = static_cast<char>(qRed(pixel));
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

const std::map<std::string, std::vector<std::string>>& SlotNames() {
    static const std::map<std::string, std::vector<std::string>> slotList = {
        {"button", {"normal", "hover", "press", "disable", "mask"}},
        {"slider", {"thumb_normal", "thumb_hover", "thumb_press", "thumb_disable", "blank"}},
        {"static", {"start", "middle", "end"}},
        {"dummy", {"bg"}},
        {"list",
         {"col_hdr_start", "col_hdr_span", "col_hdr_end", "hor_scrollbar_left_arrow",
          "hor_scrollbar_right_arrow", "hor_scrollbar_thumb", "hor_scrollbar_span", "ver_scrollbar_top",
          "ver_scrollbar_bottom", "ver_scrollbar_up_arrow", "ver_scrollbar_down_arrow", "ver_scrollbar_span",
          "ver_scrollbar_thumb"}},
        {"combobox",
         {"combo_left", "combo_center", "combo_right", "list_top", "list_left", "list_right", "list_bottom"}},
    };
    return slotList;
}

std::string SkinXml() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<component>\n";
    char line[256];
    for (const SkinComponent& component : SkinComponents()) {
        std::snprintf(line, sizeof(line),
                      " <item><type>%s</type><id>0x%08x</id>\n  <location><x>%d</x><y>%d</y></location>"
                      "<size><width>%d</width><height>%d</height></size>\n  <image>",
                      component.type.c_str(), component.id, component.x, component.y, component.width,
                      component.height);
        xml += line;
        const std::vector<std::string>& slotList = SlotNames().at(component.type);
        for (size_t slot = 0; slot < slotList.size(); ++slot) {
            xml += "<" + slotList[slot] + ">" + component.images[slot] + "</" + slotList[slot] + ">";
        }
        xml += "</image>";
        if (component.type == "combobox") {
            const char* colorNames[4] = {"highlight_bg", "highlight_fg", "normal_bg", "normal_fg"};
            xml += "\n  <color>";
            for (int index = 0; index < 4; ++index) {
                const unsigned color = component.colors[index];
                std::snprintf(line, sizeof(line), "<%s r=\"%u\" g=\"%u\" b=\"%u\"/>", colorNames[index],
                              color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
                xml += line;
            }
            xml += "</color>";
        }
        xml += "</item>\n";
    }
    xml += "</component>\n";
    return xml;
}

// The sizes that set a control's size must agree with the table: a button's images, a slider's
// thumbs.
bool CheckSizes(const SkinComponent& component, const std::string& image, const QImage& picture,
                size_t slot) {
    bool fits = true;
    if (component.type == "button") {
        fits = picture.width() == component.width && picture.height() == component.height;
    } else if (component.type == "slider" && slot < 4) {
        fits = picture.height() == component.height;
    }
    if (!fits) {
        std::fprintf(stderr, "trevo_skinart: %s does not fit component 0x%08x\n", image.c_str(),
                     component.id);
    }
    return fits;
}

// Draws one language's skin folder: every image of the table and skin.xml.
bool DrawSkin(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "trevo_skinart: cannot create %s\n", qPrintable(folder));
        return false;
    }
    std::set<std::string> written;
    for (const SkinComponent& component : SkinComponents()) {
        if (component.images.size() != SlotNames().at(component.type).size()) {
            std::fprintf(stderr, "trevo_skinart: component 0x%08x lacks images\n", component.id);
            return false;
        }
        for (size_t slot = 0; slot < component.images.size(); ++slot) {
            const std::string& name = component.images[slot];
            if (written.count(name) != 0) {
                continue;
            }
            const QImage picture = MakeImage(name);
            if (!CheckSizes(component, name, picture, slot)) {
                return false;
            }
            written.insert(name);
            if (!WriteBmp(picture, folder + "/" + QString::fromStdString(name))) {
                std::fprintf(stderr, "trevo_skinart: cannot write %s\n", name.c_str());
                return false;
            }
        }
    }
    QFile xml(folder + "/skin.xml");
    const std::string text = SkinXml();
    if (!xml.open(QIODevice::WriteOnly) ||
        xml.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        std::fprintf(stderr, "trevo_skinart: cannot write skin.xml\n");
        return false;
    }
    return true;
}

// The program's own pictures, in the same theme: the taskbar pop-up's card notice, the loading
// box's picture, the repair box's wait animation, the channel windows' zoom cursor and the
// program's icon. The files are
// named by their place in the program's resources.

const QColor kPaper(0xEC, 0xED, 0xF0);

QColor Mix(const QColor& from, const QColor& to, qreal amount) {
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * amount,
                            from.greenF() + (to.greenF() - from.greenF()) * amount,
                            from.blueF() + (to.blueF() - from.blueF()) * amount);
}

// The pop-up writes its text in black, or in blue under the mouse, into (10, 15) - (190, 58), so
// that part is a light card; the footer shows a memory card going to a folder.
QImage CardNotice() {
    QImage image = Chrome(200, 83);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 200, 3), kAccent);
    painter.fillRect(QRect(0, 3, 1, 80), kLine);
    painter.fillRect(QRect(199, 3, 1, 80), kLine);
    painter.fillRect(QRect(0, 82, 200, 1), kLine);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPaper);
    painter.drawRoundedRect(QRectF(6, 10, 188, 53), 4, 4);
    GlyphAt(painter, "format", kAccent, QPointF(18, 73), 16);
    GlyphAt(painter, "open", kGlyph, QPointF(182, 73), 16);
    painter.setPen(QPen(kText, 1.5, Qt::DotLine, Qt::RoundCap));
    painter.drawLine(QPointF(32, 73), QPointF(164, 73));
    painter.setPen(QPen(kText, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF head[] = {{161, 69.5}, {165, 73}, {161, 76.5}};
    painter.drawPolyline(head, 3);
    return image;
}

constexpr int kSpinnerSide = 64;
constexpr int kSpinnerSpokes = 12;
// Hundredths of a second per frame: one turn a second.
constexpr int kSpinnerDelay = 8;

// One frame of the wait animation: the leading spoke in full accent, those behind it fading into
// the background. Every colour lies between the background and the accent, smoothing included.
QImage SpinnerFrame(int lead) {
    QImage image = Chrome(kSpinnerSide, kSpinnerSide);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(kSpinnerSide / 2.0, kSpinnerSide / 2.0);
    painter.setPen(Qt::NoPen);
    for (int spoke = 0; spoke < kSpinnerSpokes; ++spoke) {
        const int behind = (lead - spoke + kSpinnerSpokes) % kSpinnerSpokes;
        painter.save();
        painter.rotate(360.0 * spoke / kSpinnerSpokes);
        painter.setBrush(Mix(kChrome, kAccent, std::max(0.15, 1.0 - behind / 9.0)));
        painter.drawRoundedRect(QRectF(-2.5, -27, 5, 12), 2.5, 2.5);
        painter.restore();
    }
    return image;
}

// The palette of the animation: 256 steps from the background to the accent.
std::vector<QColor> Ramp(const QColor& from, const QColor& to) {
    std::vector<QColor> palette;
    for (int step = 0; step < 256; ++step) {
        palette.push_back(Mix(from, to, step / 255.0));
    }
    return palette;
}

// Each pixel as the index of the nearest step of the ramp.
QByteArray RampIndices(const QImage& image, const QColor& from, const QColor& to) {
    const double red = to.red() - from.red();
    const double green = to.green() - from.green();
    const double blue = to.blue() - from.blue();
    const double length = red * red + green * green + blue * blue;
    QByteArray indices;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double along = ((qRed(pixel) - from.red()) * red + (qGreen(pixel) - from.green()) * green +
                                  (qBlue(pixel) - from.blue()) * blue) /
                                 length;
            indices.append(static_cast<char>(qRound(std::clamp(along, 0.0, 1.0) * 255)));
        }
    }
    return indices;
}

// Codes of varying width packed into bytes, least significant bit first.
class CodePacker {
  public:
    void Put(int code, int width) {
        m_bits |= static_cast<quint32>(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.append(static_cast<char>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    QByteArray Finish() {
        if (m_count > 0) {
            m_bytes.append(static_cast<char>(m_bits & 0xFF));
        }
        return m_bytes;
    }

  private:
    quint32 m_bits = 0;
    int m_count = 0;
    QByteArray m_bytes;
};

// GIF's LZW over 8-bit indices, with codes from 9 to 12 bits; a full table starts again.
QByteArray LzwCompress(const QByteArray& indices) {
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kLastCode = 4095;
    // The code of each known string, by the code of its prefix and its last index.
    std::vector<int> table(4096 * 256, -1);
    CodePacker packer;
    int width = 9;
    int next = kEnd + 1;
    const auto put = [&packer, &width, &next](int code) {
        packer.Put(code, width);
        // The decoder adds its entries one code behind us, so it widens at this point too.
        if (next >= (1 << width) && width < 12) {
            ++width;
        }
    };
    put(kClear);
    int prefix = indices.isEmpty() ? -1 : static_cast<uchar>(indices[0]);
    for (int at = 1; at < indices.size(); ++at) {
        const int index = static_cast<uchar>(indices[at]);
        const size_t key = static_cast<size_t>(prefix) * 256 + static_cast<size_t>(index);
        if (table[key] >= 0) {
            prefix = table[key];
            continue;
        }
        put(prefix);
        if (next >= kLastCode) {
            put(kClear);
            std::fill(table.begin(), table.end(), -1);
            width = 9;
            next = kEnd + 1;
        } else {
            table[key] = next++;
        }
        prefix = index;
    }
    if (prefix >= 0) {
        put(prefix);
    }
    put(kEnd);
    return packer.Finish();
}

void AppendBytes(QByteArray& data, std::initializer_list<int> bytes) {
    for (int byte : bytes) {
        data.append(static_cast<char>(byte));
    }
}

void AppendWord(QByteArray& data, int value) {
    AppendBytes(data, {value & 0xFF, (value >> 8) & 0xFF});
}

// An animated GIF89a that loops for ever, with one global palette of 256 colours; every frame
// covers the whole picture and stays under the next (disposal 1).
QByteArray Gif(const std::vector<QByteArray>& frames, int width, int height,
               const std::vector<QColor>& palette, int delay) {
    QByteArray gif("GIF89a");
    AppendWord(gif, width);
    AppendWord(gif, height);
    AppendBytes(gif, {0xF7, 0, 0});
    for (const QColor& color : palette) {
        AppendBytes(gif, {color.red(), color.green(), color.blue()});
    }
    gif.append('!');
    AppendBytes(gif, {0xFF, 11});
    gif.append("NETSCAPE2.0");
    AppendBytes(gif, {3, 1, 0, 0, 0});
    for (const QByteArray& frame : frames) {
        AppendBytes(gif, {0x21, 0xF9, 4, 1 << 2});
        AppendWord(gif, delay);
        AppendBytes(gif, {0, 0, 0x2C});
        AppendWord(gif, 0);
        AppendWord(gif, 0);
        AppendWord(gif, width);
        AppendWord(gif, height);
        AppendBytes(gif, {0, 8});
        const QByteArray data = LzwCompress(frame);
        for (int at = 0; at < data.size(); at += 255) {
            const int length = std::min(255, static_cast<int>(data.size()) - at);
            gif.append(static_cast<char>(length));
            gif.append(data.mid(at, length));
        }
        gif.append('\0');
    }
    gif.append(';');
    return gif;
}

QByteArray WaitAnimation() {
    std::vector<QByteArray> frames;
    for (int lead = 0; lead < kSpinnerSpokes; ++lead) {
        frames.push_back(RampIndices(SpinnerFrame(lead), kChrome, kAccent));
    }
    return Gif(frames, kSpinnerSide, kSpinnerSide, Ramp(kChrome, kAccent), kSpinnerDelay);
}

// A magnifier, white on a black outline so that it shows on any picture; the hot spot, which the
// window layer reads from the PNG's "hotspot" text, is the centre of the lens.
QImage ZoomCursor() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPointF lens(12.5, 12.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 48));
    painter.drawEllipse(lens, 8, 8);
    const struct {
        QColor color;
        qreal extra;
    } passes[] = {{Qt::black, 2}, {Qt::white, 0}};
    for (const auto& pass : passes) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(pass.color, 2 + pass.extra));
        painter.drawEllipse(lens, 8, 8);
        painter.setPen(QPen(pass.color, 4 + pass.extra, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(19, 19), QPointF(27, 27));
        painter.setPen(QPen(pass.color, 1.5 + pass.extra, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(9.5, 12.5), QPointF(15.5, 12.5));
        painter.drawLine(QPointF(12.5, 9.5), QPointF(12.5, 15.5));
    }
    painter.end();
    image.setText("hotspot", "12,12");
    return image;
}

// The mark of the title bar, large, on a chrome tile.
QImage ProgramIcon() {
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kLine, 4));
    painter.setBrush(kChrome);
    painter.drawRoundedRect(QRectF(10, 10, 236, 236), 52, 52);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(QRectF(40, 40, 176, 176), 38, 38);
    GlyphAt(painter, "play", kChrome, QPointF(130, 128), 160);
    return image;
}

// The loading box's picture: the box's 320 x 153 dialog units in pixels. Its status and version
// lines are written over the strip at the bottom, which is the colour they are written on.
constexpr int kLoadingWidth = 480;
constexpr int kLoadingHeight = 249;
constexpr int kLoadingStrip = 214;

QImage LoadingPicture() {
    QImage image = NewImage(kLoadingWidth, kLoadingHeight, kDark);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient shade(0, 0, 0, kLoadingStrip);
    shade.setColorAt(0, kChrome);
    shade.setColorAt(1, kDark);
    painter.fillRect(QRect(0, 0, kLoadingWidth, kLoadingStrip), shade);
    painter.fillRect(QRect(0, 0, kLoadingWidth, 3), kAccent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(QRectF(48, 71, 72, 72), 16, 16);
    GlyphAt(painter, "play", kChrome, QPointF(86, 107), 64);
    DrawText(painter, QRect(140, 78, 320, 40), "TREVO_VIEWER", 30, true, kGlyph,
             Qt::AlignLeft | Qt::AlignVCenter);
    painter.fillRect(QRect(142, 120, 120, 2), kAccentDark);
    painter.fillRect(QRect(0, kLoadingStrip, kLoadingWidth, kLoadingHeight - kLoadingStrip), kListBg);
    painter.fillRect(QRect(0, kLoadingStrip, kLoadingWidth, 1), kLine);
    return image;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Writes <folder>/bitmap/314.bmp, bitmap/323.bmp, GIF/327, cursor/317.png and icon/128.png.
bool DrawProgramResources(const QString& folder) {
    for (const char* kind : {"bitmap", "GIF", "cursor", "icon"}) {
        if (!QDir().mkpath(folder + "/" + kind)) {
            std::fprintf(stderr, "trevo_skinart: cannot create %s/%s\n", qPrintable(folder), kind);
            return false;
        }
    }
    const bool written = WriteBmp(CardNotice(), folder + "/bitmap/314.bmp") &&
                         WriteBmp(LoadingPicture(), folder + "/bitmap/323.bmp") &&
                         WriteFile(folder + "/GIF/327", WaitAnimation()) &&
                         ZoomCursor().save(folder + "/cursor/317.png", "PNG") &&
                         ProgramIcon().save(folder + "/icon/128.png", "PNG");
    if (!written) {
        std::fprintf(stderr, "trevo_skinart: cannot write the program's pictures to %s\n",
                     qPrintable(folder));
    }
    return written;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--program") == 0) {
        return DrawProgramResources(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: trevo_skinart <output folder> | --program <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const struct {
        Language language;
        const char* name;
    } folders[] = {{Korean, "skin_ko"}, {Japanese, "skin_ja"}, {English, "skin_en"}};
    for (const auto& entry : folders) {
        g_language = entry.language;
        if (!DrawSkin(folder + "/" + entry.name)) {
            return 1;
        }
    }
    return 0;
}
