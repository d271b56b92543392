#pragma once

#include <QImage>
#include <QString>

namespace quillon::engine {

// Custom icons of output files, kept as freedesktop thumbnails so file managers show them.
// Any thread may call these (QImage, QSaveFile and QMimeDatabase are reentrant); getIcon
// looks up the icon theme and is for the main thread.

// Side of the custom icon, and of the icons the source list shows.
inline constexpr int kCustomIconSize = 128;
inline constexpr int kSmallIconSize = 16;

// The 128 x 128 icon of a picture: the picture scaled so its longer side is 128, drawn at
// x = 64 - w / 2, y = 64 - h / 2 (truncated toward zero), transparent outside that rectangle.
// Null for a null picture.
QImage customIconPicture(const QImage& picture);

// Where the thumbnail of a file lives: $XDG_CACHE_HOME/thumbnails/normal/<md5 of its URI>.png.
QString thumbnailPath(const QString& file);

// putCustomIcon: writes the icon of picture as the file's thumbnail (PNG with alpha and the
// Thumb::URI and Thumb::MTime texts), all or nothing. picture is replaced by its scaled-down
// copy (longer side 128), as callers of the batch expect. False with a reason on failure,
// with nothing else changed.
bool putCustomIcon(const QString& target, QImage& picture, QString* error);

// The icon's picture made ahead of its file (the picture scaled so its longer side is 128), so
// that the scaling can run on a worker thread and only the writing waits for the file.
struct IconSource
{
    QImage small;  // null when the picture could not be scaled
    QString error; // why
};
IconSource customIconSource(const QImage& picture);
// putCustomIcon with the scaling done: as above.
bool putCustomIcon(const QString& target, const IconSource& source, QString* error);

// getIcon: the 16-pixel picture shown for a file: its thumbnail when one is stored for the
// file's current modification time, else the icon theme's icon for its MIME type, else the
// generic document icon. Null only when no icon at all is available.
QImage getIcon(const QString& file);

} // namespace quillon::engine
