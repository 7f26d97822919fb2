// Drawing the page model with QPainter, for the preview window and for
// printing through QPrinter (a printer, or a PDF file).
#ifndef TENTARIA_UI_QT_QT_PRINTING_H_
#define TENTARIA_UI_QT_QT_PRINTING_H_

#include <QPainter>
#include <QPrinter>
#include <QRectF>

#include "platform/status.h"
#include "reports/page.h"

namespace tentaria::ui::qt {

// Draws a page into `target` (in the painter's coordinates), scaled from
// points so that the page fills it.  The page's background is not painted.
void DrawPage(QPainter& painter, const reports::Page& page, const QRectF& target);

// Prints every page of a document, one sheet each, scaled to fit the
// printable area with the page's proportions kept.  The job carries the
// document's title.
Status PrintDocument(QPrinter& printer, const reports::Document& document);

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_QT_PRINTING_H_
