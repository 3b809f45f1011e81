#pragma once

#include <QString>

// Taking new description files and module pictures into the folders the
// program reads them from (the user's data folder: Xml/ and
// SVG/<image folder>). A file the user
// keeps is never lost on the way: the new one is written beside it and
// replaces it only when it is complete, and a description replaces one of
// the same name only when it really is a description.
namespace DescriptionImport {

struct Outcome {
    bool ok = false;
    QString destination; // the file written (or that already held the picture)
    QString error;       // the reason in the window's words, when !ok
};

// Where a chosen description file goes: "<folder>/<base>.xml", the base
// being its file name up to the first "." (io.module.rev.xml → io.xml).
// Empty when that name is empty.
QString destinationFor(const QString &sourcePath, const QString &folder);

// Copies the description file unchanged (a scrambled file stays scrambled)
// into folder, creating the folder when it is missing. Refused, with
// nothing written, when the file cannot be read or does not parse as a
// description of at least one module.
Outcome importDescription(const QString &sourcePath, const QString &folder);

// The folder of a description's pictures under svgFolder; empty when the
// description's folder name would lead anywhere else: an empty name, ".",
// an absolute path or one that climbs with "..". The templates in svgFolder
// itself are never replaced by a picture.
QString pictureFolder(const QString &imageDir, const QString &svgFolder);

// Copies one picture under its own file name into folder (created when
// missing). A picture chosen from that folder itself is already in place
// and left alone.
Outcome importPicture(const QString &sourcePath, const QString &folder);

} // namespace DescriptionImport
