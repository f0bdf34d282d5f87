#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace zelmora::ui {

namespace {
constexpr qreal kFallbackDpi = 96.0;

const QScreen* screenOf(const QWidget* widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}
} // namespace

int twipsToPixels(int twips, qreal logicalDpi) {
    if (logicalDpi <= 0)
        logicalDpi = kFallbackDpi;
    return int(std::lround(qreal(twips) * logicalDpi / kTwipsPerInch));
}

int pixelsToTwips(int pixels, qreal logicalDpi) {
    if (logicalDpi <= 0)
        logicalDpi = kFallbackDpi;
    return int(std::lround(qreal(pixels) * kTwipsPerInch / logicalDpi));
}

qreal logicalDpiX(const QWidget* widget) {
    if (widget)
        return widget->logicalDpiX();
    const QScreen* screen = screenOf(nullptr);
    return screen ? screen->logicalDotsPerInchX() : kFallbackDpi;
}

qreal logicalDpiY(const QWidget* widget) {
    if (widget)
        return widget->logicalDpiY();
    const QScreen* screen = screenOf(nullptr);
    return screen ? screen->logicalDotsPerInchY() : kFallbackDpi;
}

int twipsToPixelsX(int twips, const QWidget* widget) {
    return twipsToPixels(twips, logicalDpiX(widget));
}
int twipsToPixelsY(int twips, const QWidget* widget) {
    return twipsToPixels(twips, logicalDpiY(widget));
}
int pixelsToTwipsX(int pixels, const QWidget* widget) {
    return pixelsToTwips(pixels, logicalDpiX(widget));
}
int pixelsToTwipsY(int pixels, const QWidget* widget) {
    return pixelsToTwips(pixels, logicalDpiY(widget));
}

QSize twipsToSize(int width, int height, const QWidget* widget) {
    return {twipsToPixelsX(width, widget), twipsToPixelsY(height, widget)};
}

QPoint twipsToPoint(int x, int y, const QWidget* widget) {
    return {twipsToPixelsX(x, widget), twipsToPixelsY(y, widget)};
}

} // namespace zelmora::ui
