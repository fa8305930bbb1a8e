#include "desktop/icon_cache.h"

#include <shellapi.h>

namespace {

std::uint64_t Join(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool IsAbsolute(const std::string& path) {
    return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           (path.size() > 1 && path[0] == '\\' && path[1] == '\\');
}

} // namespace

void IconCache::BeginPass() {
    ++m_pass;
    m_passStamps.clear();
}

void IconCache::EndPass() {
    for (auto it = m_icons.begin(); it != m_icons.end();) {
        if (m_pass - it->second.lastPass >= kKeptPasses)
            it = m_icons.erase(it);
        else
            ++it;
    }
}

const IconCache::FileStamp& IconCache::StampOf(const std::string& file) {
    auto known = m_passStamps.find(file);
    if (known != m_passStamps.end())
        return known->second;
    FileStamp stamp;
    // A name without a folder is found the way the extraction finds it: along the search path.
    if (IsAbsolute(file)) {
        stamp.resolved = file;
    } else {
        char found[MAX_PATH];
        const DWORD n = ::SearchPathA(nullptr, file.c_str(), nullptr, MAX_PATH, found, nullptr);
        if (n > 0 && n < MAX_PATH)
            stamp.resolved = found;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!stamp.resolved.empty() &&
        ::GetFileAttributesExA(stamp.resolved.c_str(), GetFileExInfoStandard, &data)) {
        stamp.found = true;
        stamp.attributes = data.dwFileAttributes;
        stamp.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
        stamp.written =
            Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
        stamp.created = Join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime);
    }
    return m_passStamps.emplace(file, std::move(stamp)).first->second;
}

IconCache::CachedIcon& IconCache::Find(const std::string& file, int index) {
    const FileStamp& stamp = StampOf(file);
    auto [it, added] = m_icons.try_emplace({file, index});
    CachedIcon& cached = it->second;
    if (added || !(cached.stamp == stamp)) {
        HICON extracted = nullptr;
        ::ExtractIconExA(file.c_str(), index, &extracted, nullptr, 1);
        ++m_extractions;
        cached.image.reset();
        cached.icon.Reset(extracted);
        cached.stamp = stamp;
        cached.extractedPass = m_pass;
    }
    cached.lastPass = m_pass;
    return cached;
}

HICON IconCache::Get(const std::string& file, int index) {
    return Find(file, index).icon.Get();
}

IconImage& IconCache::ApplicationImage() {
    if (!m_applicationImage)
        m_applicationImage = std::make_unique<IconImage>(::LoadIcon(nullptr, IDI_APPLICATION));
    return *m_applicationImage;
}

void IconCache::Draw(HDC dc, int x, int y, const std::string& file, int index) {
    if (!m_scratch)
        m_scratch.Reset(::CreateCompatibleDC(dc));
    if (m_depthPass != m_pass || m_depth == 0) {
        m_depth = ::GetDeviceCaps(dc, BITSPIXEL);
        m_depthPass = m_pass;
    }
    IconImage* image = nullptr;
    if (!file.empty()) {
        CachedIcon& cached = Find(file, index);
        if (cached.icon) {
            // The pass that extracts an icon draws it the system's way; proving a way of our
            // own against that (a few blits on probe pictures) waits for the next pass, so the
            // desktop's first paint, which extracts every icon, does not pay for it.
            if (!cached.image && cached.extractedPass == m_pass) {
                ::DrawIcon(dc, x, y, cached.icon.Get());
                return;
            }
            if (!cached.image)
                cached.image = std::make_unique<IconImage>(cached.icon.Get());
            image = cached.image.get();
        }
    }
    (image ? *image : ApplicationImage()).Draw(dc, x, y, m_scratch.Get(), m_depth);
}
