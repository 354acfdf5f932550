#include "common/window_layout.h"

#include <algorithm>
#include <cstddef>

namespace {

// `total` shared in proportion to `weights`, the rounding left to the last
// weighted share so that the shares add up exactly.
std::vector<int> share(const std::vector<int>& weights, int total) {
    std::vector<int> shares(weights.size(), 0);
    long long weight_sum = 0;
    for (int weight : weights)
        weight_sum += weight;
    if (weight_sum <= 0)
        return shares;
    int given = 0;
    std::size_t last = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0)
            continue;
        shares[i] = static_cast<int>(static_cast<long long>(total) * weights[i] / weight_sum);
        given += shares[i];
        last = i;
    }
    shares[last] += total - given;
    return shares;
}

}  // namespace

std::vector<Box> lay_out(const std::vector<Piece>& pieces, int extra_width, int extra_height) {
    extra_width = std::max(extra_width, 0);
    extra_height = std::max(extra_height, 0);
    std::vector<int> list_heights;
    list_heights.reserve(pieces.size());
    for (const Piece& piece : pieces)
        list_heights.push_back(piece.grow == Grow::WideAndTall ? piece.box.height : 0);
    const std::vector<int> taller = share(list_heights, extra_height);

    std::vector<Box> boxes;
    boxes.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Box box = pieces[i].box;
        for (std::size_t list = 0; list < pieces.size(); ++list)
            if (list != i && pieces[list].grow == Grow::WideAndTall && pieces[list].box.top < pieces[i].box.top)
                box.top += taller[list];
        if (pieces[i].grow == Grow::Right)
            box.left += extra_width;
        else if (pieces[i].grow != Grow::None)
            box.width += extra_width;
        box.height += taller[i];
        boxes.push_back(box);
    }
    return boxes;
}

std::vector<int> spread_widths(const std::vector<int>& widths, int extra) {
    long long shown = 0;
    for (int width : widths)
        shown += std::max(width, 0);
    std::vector<int> spread = widths;
    if (shown == 0)
        return spread;
    // Never narrower than a pixel per shown column.
    extra = static_cast<int>(std::max<long long>(extra, static_cast<long long>(widths.size()) - shown));
    const std::vector<int> extras = share(widths, extra);
    for (std::size_t i = 0; i < widths.size(); ++i)
        if (widths[i] > 0)
            spread[i] = std::max(widths[i] + extras[i], 1);
    return spread;
}
