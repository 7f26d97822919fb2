// Writes a document as a PDF 1.4 file of our own making.
//
// Text uses the standard Helvetica, Times and Courier faces (regular, bold,
// italic) with WinAnsiEncoding, which is Windows-1252, so run texts go in
// unchanged; no font is embedded, as every reader has these.  Lines and
// boxes are path operators; a picture becomes an RGB image XObject of its
// first frame, with a soft mask for its alpha channel when any pixel is not
// opaque, drawn once per use and stored once per picture.  Streams are not
// compressed, which keeps the writer small and its output readable.  The
// document title goes into the information dictionary as UTF-16.
#ifndef TENTARIA_REPORTS_PDF_WRITER_H_
#define TENTARIA_REPORTS_PDF_WRITER_H_

#include <string>

#include "platform/file.h"
#include "platform/status.h"
#include "reports/page.h"

namespace tentaria::reports {

// The bytes of the PDF file.
std::string PdfBytes(const Document& document);

// Writes the PDF file to a host path: first beside it under a temporary
// name, then renamed into place, so that a failed write leaves an earlier
// file of that name as it was.  A document without pages, or with a page
// without a size, is refused.
Status WritePdf(const Document& document, const std::string& path,
                platform::FileSystem& file_system = *platform::FileSystem::Default());

}  // namespace tentaria::reports

#endif  // TENTARIA_REPORTS_PDF_WRITER_H_
