// The document's page, guides, swatches, gradients and layers.
#include <cmath>
#include <string>

#include "Document.h"
#include "Journal.h"
#include "PaintChecks.h"

namespace easel {

ASErr Document::setPageSize(float width, float height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0) return kBadParameterErr;
    journal_->recordPage();
    width_ = width;
    height_ = height;
    return kNoErr;
}

ASErr Document::setGuides(const Guides& guides) {
    for (const auto* axis : {&guides.vertical, &guides.horizontal}) {
        if (axis->size() > kMaxGuides) return kBadParameterErr;
        for (float at : *axis)
            if (!std::isfinite(at)) return kBadParameterErr;
    }
    if (!std::isfinite(guides.gridSpacing) || guides.gridSpacing <= 0) return kBadParameterErr;
    if (guides == guides_) return kNoErr;
    journal_->recordGuides();
    guides_ = guides;
    return kNoErr;
}

// ---- swatches ----

bool Document::isSwatch(const Swatch* s) const {
    return std::any_of(swatches_.begin(), swatches_.end(), [s](const auto& p) { return p.get() == s; });
}

void Document::clearSwatches() { swatches_.clear(); }

ASErr Document::addSwatch(const std::string& name, const AIColor& color) {
    if (!finiteColor(color)) return kBadParameterErr;
    auto s = std::make_unique<Swatch>();
    s->name = name;
    s->color = color;
    swatches_.push_back(std::move(s));
    return kNoErr;
}

int32_t Document::addGradientPaint(std::shared_ptr<const Gradient> gradient, const AIRealMatrix& matrix) {
    if (!gradient || !isFinite(matrix) || gradientPaints_.size() >= static_cast<size_t>(INT32_MAX)) return -1;
    for (const float v : gradient->coords) {
        if (!std::isfinite(v)) return -1;
    }
    for (const GradientStop& s : gradient->stops) {
        if (!finiteColor(s.color) || !std::isfinite(s.offset) || !std::isfinite(s.opacity)) return -1;
    }
    gradientPaints_.push_back(GradientPaint{std::move(gradient), matrix});
    return static_cast<int32_t>(gradientPaints_.size() - 1);
}

// ---- layers ----

Layer* Document::layerFromTop(size_t n) const {
    return n < layers_.size() ? layers_[layers_.size() - 1 - n] : nullptr;
}

Layer* Document::layerFromBottom(size_t n) const { return n < layers_.size() ? layers_[n] : nullptr; }

Layer* Document::currentLayer() const {
    if (current_ && current_->live_) return current_;
    return topLayer();
}

void Document::setCurrentLayer(Layer* layer) {
    if (isLiveLayer(layer)) current_ = layer;
}

bool Document::isLiveLayer(const Layer* layer) const {
    return layer && std::find(layers_.begin(), layers_.end(), layer) != layers_.end();
}

std::string Document::nextLayerName() const {
    for (size_t n = layers_.size() + 1;; ++n) {
        std::string name = "Layer " + std::to_string(n);
        bool used = std::any_of(layers_.begin(), layers_.end(), [&](const Layer* l) { return l->name_ == name; });
        if (!used) return name;
    }
}

ASErr Document::insertLayer(Layer* ref, int16_t order, Layer** out, const std::string& name) {
    size_t index = 0;
    switch (order) {
        case kPlaceAboveAll: index = layers_.size(); break;
        case kPlaceBelowAll: index = 0; break;
        case kPlaceAbove:
        case kPlaceBelow: {
            auto it = std::find(layers_.begin(), layers_.end(), ref);
            if (!ref || it == layers_.end()) return kBadParameterErr;
            index = static_cast<size_t>(it - layers_.begin()) + (order == kPlaceAbove ? 1 : 0);
            break;
        }
        default: return kBadParameterErr;
    }
    auto owned = std::make_unique<Layer>();
    Layer* l = owned.get();
    l->name_ = name.empty() ? nextLayerName() : name;
    allLayers_.push_back(std::move(owned));
    journal_->recordLayerMove(l);
    layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(index), l);
    l->live_ = true;
    current_ = l;
    if (out) *out = l;
    return kNoErr;
}

ASErr Document::setLayerName(Layer* layer, const std::string& name) {
    if (!isLiveLayer(layer)) return kBadParameterErr;
    journal_->recordLayerAttrs(layer);
    layer->name_ = name;
    return kNoErr;
}

ASErr Document::setLayerVisible(Layer* layer, bool visible) {
    if (!isLiveLayer(layer)) return kBadParameterErr;
    journal_->recordLayerAttrs(layer);
    layer->visible_ = visible;
    return kNoErr;
}

ASErr Document::setLayerLocked(Layer* layer, bool locked) {
    if (!isLiveLayer(layer)) return kBadParameterErr;
    journal_->recordLayerAttrs(layer);
    layer->locked_ = locked;
    return kNoErr;
}

ASErr Document::removeLayer(Layer* layer) {
    auto it = std::find(layers_.begin(), layers_.end(), layer);
    if (!layer || it == layers_.end() || layers_.size() < 2) return kBadParameterErr;
    journal_->recordLayerMove(layer);
    const size_t index = static_cast<size_t>(it - layers_.begin());
    layers_.erase(it);
    layer->live_ = false;
    if (current_ == layer) current_ = layers_[index > 0 ? index - 1 : 0];
    return kNoErr;
}

ASErr Document::moveLayer(Layer* layer, size_t index) {
    auto it = std::find(layers_.begin(), layers_.end(), layer);
    if (!layer || it == layers_.end() || index >= layers_.size()) return kBadParameterErr;
    if (static_cast<size_t>(it - layers_.begin()) == index) return kNoErr;
    journal_->recordLayerMove(layer);
    layers_.erase(it);
    layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(index), layer);
    return kNoErr;
}

}  // namespace easel
