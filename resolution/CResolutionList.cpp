#include "resolution/CResolutionList.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>

#include "framework/Trace.h"

namespace zr {
namespace {

void TraceFormatted(const wchar_t* format, int a, int b = 0)
{
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), format, a, b);
    Trace(buffer);
}

template <typename Sequence, typename Match>
auto FindIn(Sequence& items, Match match)
{
    return std::find_if(items.begin(), items.end(), match);
}

}  // namespace

void CResolutionList::Clear()
{
    m_groups.clear();
}

void CResolutionList::AddMode(const DisplayMode& mode)
{
    const AspectRatio ratio = ReduceRatio(mode.width, mode.height);
    const auto width = static_cast<std::int32_t>(mode.width);
    const auto height = static_cast<std::int32_t>(mode.height);
    const auto bpp = static_cast<std::int32_t>(mode.bpp);
    const auto refresh = static_cast<std::int32_t>(mode.refresh_rate);
    const auto newDepth = [&] { return DepthNode{bpp, {refresh}}; };
    const auto newResolution = [&] { return ResolutionNode{width, height, {newDepth()}}; };

    auto group = FindIn(m_groups, [&](const RatioGroup& g) { return g.ratio_x == ratio.x && g.ratio_y == ratio.y; });
    if (group == m_groups.end()) {
        Trace(L"NOT FOUND\n");
        m_groups.push_back({ratio.x, ratio.y, {newResolution()}});
        return;
    }
    Trace(L"FOUND\n");
    auto resolution = FindIn(group->resolutions,
                             [&](const ResolutionNode& r) { return r.width == width && r.height == height; });
    if (resolution == group->resolutions.end()) {
        group->resolutions.push_back(newResolution());
        return;
    }
    auto depth = FindIn(resolution->depths, [&](const DepthNode& d) { return d.bpp == bpp; });
    if (depth == resolution->depths.end()) {
        resolution->depths.push_back(newDepth());
        return;
    }
    if (std::find(depth->refresh_rates.begin(), depth->refresh_rates.end(), refresh) != depth->refresh_rates.end()) {
        Trace(L"Duplicated refresh rate in a same bit depth of same resolution.");
        return;
    }
    depth->refresh_rates.push_back(refresh);
}

void CResolutionList::SortAll()
{
    std::sort(m_groups.begin(), m_groups.end(), [](const RatioGroup& a, const RatioGroup& b) {
        return a.ratio_x != b.ratio_x ? a.ratio_x < b.ratio_x : a.ratio_y < b.ratio_y;
    });
    for (RatioGroup& group : m_groups) {
        std::sort(group.resolutions.begin(), group.resolutions.end(),
                  [](const ResolutionNode& a, const ResolutionNode& b) {
                      return a.width != b.width ? a.width < b.width : a.height < b.height;
                  });
        for (ResolutionNode& resolution : group.resolutions) {
            std::sort(resolution.depths.begin(), resolution.depths.end(),
                      [](const DepthNode& a, const DepthNode& b) { return a.bpp < b.bpp; });
            for (DepthNode& depth : resolution.depths)
                std::sort(depth.refresh_rates.begin(), depth.refresh_rates.end());
        }
    }
}

void CResolutionList::Dump() const
{
    for (const RatioGroup& group : m_groups) {
        TraceFormatted(L"%d : %d\n", group.ratio_x, group.ratio_y);
        for (const ResolutionNode& resolution : group.resolutions) {
            TraceFormatted(L"--%d x %d\n", resolution.width, resolution.height);
            for (const DepthNode& depth : resolution.depths) {
                TraceFormatted(L"----%d bpp\n", depth.bpp);
                for (std::int32_t refresh : depth.refresh_rates)
                    TraceFormatted(L"------%d Hz\n", refresh);
            }
        }
    }
}

}  // namespace zr
