#include "engine/imageservices/iccinfo.h"

#include <lcms2.h>

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

bool iccProfileIsCmyk(const QByteArray& icc)
{
    Profile profile(icc);
    return profile.handle && cmsGetColorSpace(profile.handle) == cmsSigCmykData;
}

} // namespace quillon::engine
