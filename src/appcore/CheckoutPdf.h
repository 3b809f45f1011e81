#pragma once

#include <QString>

namespace appcore::checkout {

class Checkout;

// Prints the check-out's report (Checkout::reportHtml) with Qt's own
// printing into a PDF file of A4 pages, numbered, the fonts embedded so that
// the Chinese texts read anywhere. The file is replaced only once the
// report is complete. Empty on success, else why not. Needs a
// QGuiApplication (the fonts).
QString writePdf(const QString &path, const Checkout &checkout);

} // namespace appcore::checkout
