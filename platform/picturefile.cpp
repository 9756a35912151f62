// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures to PNG (QImage), SVG (QSvgGenerator) and PDF (QPdfWriter), all
// painted through QtCanvas.
#include "platform/picturefile.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <algorithm>

#include "model/dimfile.h"
#include "platform/qtcanvas.h"
#include "platform/services.h"

namespace brevold {

namespace {

void PaintOn(QPaintDevice* device, const PicturePainter& paint) {
  QtCanvas c(device);
  c.Clear(clWhite);
  paint(c);
}

}  // namespace

bool PictureFormatNamed(const std::string& name, PictureFormat& format) {
  const QString n = QString::fromStdString(name).toLower();
  if (n == "png") format = PictureFormat::Png;
  else if (n == "svg") format = PictureFormat::Svg;
  else if (n == "pdf") format = PictureFormat::Pdf;
  else return false;
  return true;
}

bool PictureFormatFor(const std::string& fileName, PictureFormat& format) {
  const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix();
  return !suffix.isEmpty() && PictureFormatNamed(suffix.toStdString(), format);
}

QByteArray RenderPicture(PictureFormat format, int width, int height, const PicturePainter& paint, double ratio) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case PictureFormat::Png: {
      if (!(ratio > 0)) ratio = 1;
      QImage image(qRound(width * ratio), qRound(height * ratio), QImage::Format_RGB32);
      image.setDevicePixelRatio(ratio);
      PaintOn(&image, paint);
      image.save(&buffer, "PNG");
      break;
    }
    case PictureFormat::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(QSize(width, height));
      svg.setViewBox(QRect(0, 0, width, height));
      svg.setResolution(96);
      svg.setTitle(QStringLiteral("BREVOLD"));
      PaintOn(&svg, paint);
      break;
    }
    case PictureFormat::Pdf: {
      // One page the size of the picture, one device unit per point, so the
      // picture's pixels map one to one onto the page.
      QPdfWriter pdf(&buffer);
      pdf.setCreator(QStringLiteral("BREVOLD"));
      pdf.setResolution(72);
      pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Point, QString(),
                                              QPageSize::ExactMatch),
                                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
      PaintOn(&pdf, paint);
      break;
    }
  }
  return bytes;
}

std::string WritePicture(const std::string& fileName, PictureFormat format, int width, int height,
                         const PicturePainter& paint, std::ostream* stdOut, double ratio) {
  const QByteArray bytes = RenderPicture(format, width, height, paint, ratio);
  if (bytes.isEmpty()) return "cannot draw the picture";
  if (fileName == "-" && stdOut) {
    stdOut->write(bytes.constData(), bytes.size());
    stdOut->flush();
    return *stdOut ? "" : "cannot write to standard output";
  }
  const FileResult r = ReplaceFile(fileName, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return r.ok ? "" : "cannot write '" + fileName + "': " + r.message;
}

void ExportPictureDialog(QWidget* parent, int width, int height, const PicturePainter& paint, std::string& folder,
                         const std::string& otherwise) {
  QFileDialog dlg(parent, QStringLiteral("Export Picture"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setNameFilters({QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                      QStringLiteral("PDF document (*.pdf)")});
  dlg.setDefaultSuffix(QStringLiteral("png"));
  QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& filter) {
    dlg.setDefaultSuffix(filter.section(QStringLiteral("*."), 1).chopped(1));
  });
  const QString chosen = ChooseFile(dlg, folder, otherwise);
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  PictureFormat format;
  std::string error;
  if (!PictureFormatFor(path, format)) error = "'" + path + "' does not end in .png, .svg or .pdf";
  else error = WritePicture(path, format, width, height, paint);
  if (!error.empty()) QMessageBox::critical(parent, QStringLiteral("BREVOLD"), QString::fromStdString(error));
}

void PaintPrintedPage(QPainter& painter, const QRectF& page, QSvgRenderer& picture, int width, int height,
                      const QString& foot) {
  QRectF room(0, 0, page.width(), page.height());
  if (!foot.isEmpty()) {
    // The foot in the picture's face at 9 points of the page's own resolution.
    QFont font = ToQFont(Font{FontFace::Sans, 9});
    font.setPixelSize(std::max(1, qRound(9.0 * painter.device()->logicalDpiY() / 72.0)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const qreal line = QFontMetricsF(font).height();
    const QRectF footRect(0, page.height() - line, page.width(), line);
    painter.drawText(footRect, Qt::AlignLeft | Qt::AlignVCenter, foot);
    room.setHeight(std::max<qreal>(0, page.height() - 2 * line));
  }
  const double scale = std::min(room.width() / width, room.height() / height);
  picture.render(&painter, QRectF(0, 0, width * scale, height * scale));
}

void PrintPictureDialog(QWidget* parent, int width, int height, const PicturePainter& paint, const std::string& foot) {
  // Drawn once as SVG, then played back at the page's scale.
  QSvgRenderer picture(RenderPicture(PictureFormat::Svg, width, height, paint));
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(width > height ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPrintPreviewDialog preview(&printer, parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* p) {
    QPainter painter(p);
    PaintPrintedPage(painter, p->pageLayout().paintRectPixels(p->resolution()), picture, width, height,
                     QString::fromStdString(foot));
  });
  preview.exec();
}

}  // namespace brevold
