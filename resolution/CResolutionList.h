// The diagnostic mode tree: modes filed under aspect ratio, then resolution, then colour depth,
// then refresh rate. Built from the detected modes and written to the debugger output.
// Pure code: no Windows header.
#pragma once

#include <cstdint>
#include <vector>

#include "resolution/ModeMath.h"

namespace zr {

class CResolutionList {
public:
    struct DepthNode {
        std::int32_t bpp = 0;
        std::vector<std::int32_t> refresh_rates;
    };
    struct ResolutionNode {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::vector<DepthNode> depths;
    };
    struct RatioGroup {
        std::int32_t ratio_x = 0;
        std::int32_t ratio_y = 0;
        std::vector<ResolutionNode> resolutions;
    };

    CResolutionList() = default;
    virtual ~CResolutionList() = default;

    void Clear();
    // Files one mode; new entries go to the end of their sequence. Traces "NOT FOUND" for a new
    // ratio group, "FOUND" otherwise, and a duplicate line for a mode already in the tree.
    void AddMode(const DisplayMode& mode);
    // Every level ascending by its key (signed comparisons).
    void SortAll();
    // The tree in its current order, one trace line per node.
    void Dump() const;

    const std::vector<RatioGroup>& Groups() const { return m_groups; }

private:
    std::vector<RatioGroup> m_groups;
};

}  // namespace zr
