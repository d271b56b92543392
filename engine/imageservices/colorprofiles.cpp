#include "engine/imageservices/colorprofiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <lcms2.h>

#include <algorithm>
#include <memory>
#include <type_traits>

namespace quillon::engine {

namespace {

struct ProfileCloser
{
    void operator()(void* profile) const { cmsCloseProfile(static_cast<cmsHPROFILE>(profile)); }
};
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;

// Each call gets its own LittleCMS context so that nothing is shared between threads, and
// LittleCMS's complaints about bad files go nowhere instead of to stderr.
struct ContextDeleter
{
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
using ContextHandle = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextDeleter>;

ContextHandle quietContext()
{
    cmsContext context = cmsCreateContext(nullptr, nullptr);
    if (context)
        cmsSetLogErrorHandlerTHR(context, [](cmsContext, cmsUInt32Number, const char*) {});
    return ContextHandle(context);
}

ProfileHandle openBytes(cmsContext context, const QByteArray& bytes)
{
    if (bytes.size() < 128)
        return ProfileHandle();
    // LittleCMS checks tag offsets against the size the header declares and reads tags only
    // when asked, so a truncated profile would open; the declared size must be present.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const quint32 declared = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    if (declared < 128 || declared > quint32(bytes.size()))
        return ProfileHandle();
    return ProfileHandle(cmsOpenProfileFromMemTHR(context, bytes.constData(),
                                                  cmsUInt32Number(bytes.size())));
}

QString describe(cmsHPROFILE profile)
{
    wchar_t text[512];
    cmsUInt32Number n =
        cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", text, sizeof text / sizeof *text);
    if (n == 0)
        n = cmsGetProfileInfo(profile, cmsInfoDescription, cmsNoLanguage, cmsNoCountry, text,
                              sizeof text / sizeof *text);
    if (n == 0)
        return {};
    text[sizeof text / sizeof *text - 1] = 0;
    return QString::fromWCharArray(text).trimmed();
}

QByteArray readProfileFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxProfileBytes)
        return {};
    return file.read(kMaxProfileBytes); // bounded also for a file that grows meanwhile
}

QStringList profileFolders()
{
    QStringList folders;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    folders << dataHome + QStringLiteral("/icc");
    folders << QDir::homePath() + QStringLiteral("/.color/icc");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share/:/usr/share/");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << dir + QStringLiteral("/color/icc");
    return folders;
}

} // namespace

QByteArray builtInSrgbProfile()
{
    ContextHandle context = quietContext();
    ProfileHandle profile(cmsCreate_sRGBProfileTHR(context.get()));
    if (!profile)
        return {};
    cmsMLU* mlu = cmsMLUalloc(context.get(), 1);
    cmsMLUsetASCII(mlu, "en", "US", "sRGB built-in");
    cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, mlu);
    cmsMLUfree(mlu);
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0)
        return {};
    QByteArray bytes(int(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size))
        return {};
    return bytes;
}

bool isValidIccProfile(const QByteArray& bytes)
{
    ContextHandle context = quietContext();
    return bool(openBytes(context.get(), bytes));
}

QString iccDescription(const QByteArray& bytes)
{
    ContextHandle context = quietContext();
    ProfileHandle profile = openBytes(context.get(), bytes);
    return profile ? describe(static_cast<cmsHPROFILE>(profile.get())) : QString();
}

ColorProfiles ColorProfiles::load()
{
    ColorProfiles list;
    ContextHandle context = quietContext();
    QList<ProfileInfo> found;
    QSet<QString> seen; // a folder reached twice (symlinks, repeated XDG dirs) lists once
    for (const QString& folder : profileFolders()) {
        if (!QFileInfo(folder).isDir())
            continue;
        QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString suffix = QFileInfo(path).suffix().toLower();
            if (suffix != QLatin1String("icc") && suffix != QLatin1String("icm"))
                continue;
            const QString canonical = QFileInfo(path).canonicalFilePath();
            if (seen.contains(canonical))
                continue;
            seen.insert(canonical);
            ProfileHandle profile = openBytes(context.get(), readProfileFile(path));
            if (!profile)
                continue;
            QString name = describe(static_cast<cmsHPROFILE>(profile.get()));
            if (name.isEmpty())
                name = QFileInfo(path).completeBaseName();
            found.append({name, path});
        }
    }
    std::sort(found.begin(), found.end(), [](const ProfileInfo& a, const ProfileInfo& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.path < b.path;
    });
    list.m_profiles.append({QStringLiteral("sRGB built-in"), QString()});
    list.m_profiles.append(found);
    return list;
}

ProfileInfo ColorProfiles::info(int index) const
{
    if (index < 0 || index >= m_profiles.size())
        return {};
    return m_profiles.at(index);
}

bool ColorProfiles::openProfile(int index, QByteArray* bytes, QString* error) const
{
    bytes->clear();
    if (index < 0 || index >= m_profiles.size()) {
        *error = QStringLiteral("there is no colour profile number %1").arg(index);
        return false;
    }
    const ProfileInfo& info = m_profiles.at(index);
    const QByteArray data = info.path.isEmpty() ? builtInSrgbProfile() : readProfileFile(info.path);
    if (!isValidIccProfile(data)) {
        *error = QStringLiteral("%1: not a readable colour profile any more").arg(info.path);
        return false;
    }
    *bytes = data;
    return true;
}

} // namespace quillon::engine
