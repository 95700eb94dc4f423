#include "FilterChain.h"

#include "BevelFilter.h"
#include "BoxBlur.h"
#include "ColorMatrixFilter.h"
#include "ConvolutionFilter.h"
#include "ShadowFilter.h"

#include <algorithm>

namespace player::render {

namespace {

int reachOf(const swf::Filter& filter, double scale)
{
    switch (filter.type) {
    case swf::FilterType::Blur:
        return std::max(BoxBlur::reach(filter.blurX * scale, filter.passes), BoxBlur::reach(filter.blurY * scale, filter.passes));
    case swf::FilterType::DropShadow:
    case swf::FilterType::Glow:
    case swf::FilterType::GradientGlow:
        return ShadowFilter::reach(filter, scale);
    case swf::FilterType::Bevel:
    case swf::FilterType::GradientBevel:
        return BevelFilter::reach(filter, scale);
    case swf::FilterType::Convolution:
    case swf::FilterType::ColorMatrix:
    case swf::FilterType::DisplacementMap:
        break;
    }
    return 0;
}

} // namespace

int FilterChain::reach(const std::vector<swf::Filter>& filters, double scale)
{
    int total = 0;
    for (const swf::Filter& filter : filters)
        total = std::min(MaximumReach, total + reachOf(filter, scale));
    return total;
}

int FilterChain::rowReach(const std::vector<swf::Filter>& filters, double scale)
{
    int total = 0;
    for (const swf::Filter& filter : filters) {
        int rows = reachOf(filter, scale) + 1;
        if (filter.type == swf::FilterType::Convolution)
            rows += std::max(0, filter.matrixY);
        total = std::min(1 << 20, total + rows);
    }
    return total;
}

void FilterChain::apply(QImage& image, const std::vector<swf::Filter>& filters, double scale)
{
    for (const swf::Filter& filter : filters) {
        switch (filter.type) {
        case swf::FilterType::Blur:
            BoxBlur::blur(image, filter.blurX * scale, filter.blurY * scale, filter.passes);
            break;
        case swf::FilterType::DropShadow:
        case swf::FilterType::Glow:
        case swf::FilterType::GradientGlow:
            ShadowFilter::apply(image, filter, scale);
            break;
        case swf::FilterType::Bevel:
        case swf::FilterType::GradientBevel:
            BevelFilter::apply(image, filter, scale);
            break;
        case swf::FilterType::ColorMatrix:
            ColorMatrixFilter::apply(image, filter.matrix);
            break;
        case swf::FilterType::Convolution:
            ConvolutionFilter::apply(image, filter);
            break;
        case swf::FilterType::DisplacementMap:
            // Kept so that scripts read it back; the player does not displace pixels.
            break;
        }
    }
}

} // namespace player::render
