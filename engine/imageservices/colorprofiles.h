#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quillon::engine {

// One installed colour profile: its description and where it came from. The built-in sRGB
// profile has an empty path.
struct ProfileInfo
{
    QString name;
    QString path;
};

// The installed colour profiles in enumeration order. Index 0 is a built-in sRGB profile;
// then every .icc/.icm file LittleCMS opens under $XDG_DATA_HOME/icc, ~/.color/icc and
// <dir>/color/icc for each dir of $XDG_DATA_DIRS (recursively), named by its description and
// sorted by name, then path. A list is a snapshot taken by load(); any thread may load one
// and read it.
class ColorProfiles
{
public:
    static ColorProfiles load(); // LoadColorsyncProfilesMBS

    int count() const { return int(m_profiles.size()); }   // CountColorSyncProfileInfoMBS
    ProfileInfo info(int index) const;                      // GetColorSyncProfileInfoMBS; empty if out of range
    QString name(int index) const { return info(index).name; }
    // OpenProfile: the profile's ICC bytes; false with a reason for a bad index or a file that
    // can no longer be read or no longer opens as a profile.
    bool openProfile(int index, QByteArray* bytes, QString* error) const;

private:
    QList<ProfileInfo> m_profiles;
};

// The ICC bytes of the built-in sRGB profile.
QByteArray builtInSrgbProfile();

// True when the bytes are an ICC profile LittleCMS opens (the validity test of an embedded
// profile). Any thread.
bool isValidIccProfile(const QByteArray& bytes);

// The profile's description tag (English, else the first), or empty when it has none or the
// bytes are no profile. Any thread.
QString iccDescription(const QByteArray& bytes);

// Largest profile file read during enumeration; real profiles are far smaller.
inline constexpr qint64 kMaxProfileBytes = 16LL << 20;

} // namespace quillon::engine
