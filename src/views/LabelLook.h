#pragma once

#include <QString>

class QLabel;

// The look of a small status label (a tile's lamp and texts, the bus
// status panel's indicators), kept in style-sheet notation
// ("color: rgb(r, g, b);", "image: url(path);" or empty) but shown through
// the label's palette and a pixmap shared by every label of that image and
// size, never through a style sheet.
//
// A style sheet set on a label is parsed again each time it is set, and its
// image is loaded into a new icon whose drawing leaves one more pixmap in
// Qt's process-wide pixmap cache: labels that are shown again with every
// notification of an adapter would fill that cache by some kilobytes a
// cycle. Pictures shared here are made once per image and size.
namespace labellook {

// Shows the look (an image scaled into the label's fixed size, centred);
// nothing is done when the label shows it already. A label never given a
// look shows the empty one.
void set(QLabel *label, const QString &look);
// The look the label shows.
QString of(const QLabel *label);
// How many pictures are held for all labels: one per image and size used,
// and never more than a few dozen.
int sharedPictureCount();

} // namespace labellook
