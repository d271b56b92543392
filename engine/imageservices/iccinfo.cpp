#include "engine/imageservices/iccinfo.h"

#include <lcms2.h>

#include <vector>

namespace quillon::engine {

namespace {

struct Profile
{
    explicit Profile(const QByteArray& icc)
        : handle(icc.isEmpty() ? nullptr
                               : cmsOpenProfileFromMemTHR(nullptr, icc.constData(),
                                                          cmsUInt32Number(icc.size())))
    {
    }
    ~Profile()
    {
        if (handle)
            cmsCloseProfile(handle);
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
    cmsHPROFILE handle;
};

} // namespace

bool iccProfileIsValid(const QByteArray& icc)
{
    return Profile(icc).handle != nullptr;
}

QString iccProfileDescription(const QByteArray& icc)
{
    Profile profile(icc);
    if (!profile.handle)
        return QString();
    const cmsUInt32Number n =
        cmsGetProfileInfo(profile.handle, cmsInfoDescription, "en", "US", nullptr, 0);
    if (n == 0)
        return QString();
    std::vector<wchar_t> text(n / sizeof(wchar_t) + 1, 0);
    cmsGetProfileInfo(profile.handle, cmsInfoDescription, "en", "US", text.data(), n);
    return QString::fromWCharArray(text.data()).trimmed();
}

bool iccProfileIsCmyk(const QByteArray& icc)
{
    Profile profile(icc);
    return profile.handle && cmsGetColorSpace(profile.handle) == cmsSigCmykData;
}

} // namespace quillon::engine
