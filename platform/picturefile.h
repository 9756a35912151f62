// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures to files: whatever paints on a Canvas written as a PNG bitmap, an
// SVG drawing or a one-page PDF with vector paths, chosen by the file's suffix.
#pragma once
#include <QByteArray>
#include <functional>
#include <ostream>
#include <string>

#include "platform/canvas.h"

class QPainter;
class QRectF;
class QString;
class QSvgRenderer;
class QWidget;

namespace brevold {

enum class PictureFormat { Png, Svg, Pdf };

using PicturePainter = std::function<void(Canvas&)>;

// The format a file name's suffix asks for (.png, .svg, .pdf, any case);
// false for any other suffix.
bool PictureFormatFor(const std::string& fileName, PictureFormat& format);
// "png", "svg" or "pdf" as a format; false for anything else.
bool PictureFormatNamed(const std::string& name, PictureFormat& format);

// The picture of `width` x `height` logical pixels on a white ground, painted
// by `paint`, in the format's bytes. A PNG has `ratio` device pixels to the
// logical pixel (2: twice as wide and high, drawn finer); SVG and PDF are
// drawn in logical pixels whatever it is.
QByteArray RenderPicture(PictureFormat format, int width, int height, const PicturePainter& paint, double ratio = 1);

// Writes the picture to `fileName`, or to `stdOut` when the name is "-".
// Returns "" when written, else the message that says why not.
std::string WritePicture(const std::string& fileName, PictureFormat format, int width, int height,
                         const PicturePainter& paint, std::ostream* stdOut = nullptr, double ratio = 1);

// "Export Picture...": asks for a file (PNG, SVG or PDF, PNG by default),
// opening in `folder` (or `otherwise` while it is empty) and keeping the
// chosen file's folder there, and writes the picture to it; a failed write
// is reported in a message box.
void ExportPictureDialog(QWidget* parent, int width, int height, const PicturePainter& paint, std::string& folder,
                         const std::string& otherwise = "");

// A printed page: the picture as large as fits the page (`page`, in the
// painter's device pixels) with its proportions kept, from its top-left
// corner, and `foot`, when given, on the page's last line, a line's room
// left between them.
void PaintPrintedPage(QPainter& painter, const QRectF& page, QSvgRenderer& picture, int width, int height,
                      const QString& foot);

// "Print...": the printed page in a print preview, in vector form.
void PrintPictureDialog(QWidget* parent, int width, int height, const PicturePainter& paint,
                        const std::string& foot = "");

}  // namespace brevold
