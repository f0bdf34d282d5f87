#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace zelmora::ui {

// Window sizes and positions in the settings file are in twips (1/1440 inch). They are converted
// with the logical DPI, the same DPI Qt uses to size fonts in points, so that a stored layout keeps
// its proportions to the text at any scale factor (with high-DPI scaling Qt reports 96 logical DPI
// and scales device pixels itself; with a forced font DPI the logical DPI is that DPI).
inline constexpr int kTwipsPerInch = 1440;

int twipsToPixels(int twips, qreal logicalDpi);
int pixelsToTwips(int pixels, qreal logicalDpi);

// Logical DPI of the widget's screen, or of the primary screen when `widget` is null; 96 when
// there is no screen at all.
qreal logicalDpiX(const QWidget* widget = nullptr);
qreal logicalDpiY(const QWidget* widget = nullptr);

int twipsToPixelsX(int twips, const QWidget* widget = nullptr);
int twipsToPixelsY(int twips, const QWidget* widget = nullptr);
int pixelsToTwipsX(int pixels, const QWidget* widget = nullptr);
int pixelsToTwipsY(int pixels, const QWidget* widget = nullptr);
QSize twipsToSize(int width, int height, const QWidget* widget = nullptr);
QPoint twipsToPoint(int x, int y, const QWidget* widget = nullptr);

} // namespace zelmora::ui
