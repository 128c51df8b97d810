#include "platform/ui/animation.h"

#include "platform/foundation/object.h"
#include "platform/ui/view.h"

namespace vx {

AnimationRecorder& AnimationRecorder::shared() {
    static AnimationRecorder recorder;
    return recorder;
}

std::size_t AnimationRecorder::openBlock(AnimationBlock::Kind kind, int curve, double duration) {
    AnimationBlock block;
    block.id = nextId_++;
    block.kind = kind;
    block.curve = curve;
    block.duration = duration;
    blocks_.push_back(block);
    if (blocks_.size() > kMaxEntries) blocks_.pop_front();
    open_.push_back(block.id);
    return block.id;
}

AnimationBlock* AnimationRecorder::mutableBlock(std::size_t id) {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

const AnimationBlock* AnimationRecorder::block(std::size_t id) const {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

void AnimationRecorder::setCurveOfOpenBlock(int curve) {
    if (open_.empty()) return;
    if (auto* b = mutableBlock(open_.back())) b->curve = curve;
}

void AnimationRecorder::setDurationOfOpenBlock(double duration) {
    if (open_.empty()) return;
    if (auto* b = mutableBlock(open_.back())) b->duration = duration;
}

bool AnimationRecorder::closeBlock() {
    if (open_.empty()) return false;
    if (auto* b = mutableBlock(open_.back())) b->committed = true;
    open_.pop_back();
    return true;
}

std::optional<std::size_t> AnimationRecorder::currentBlockId() const {
    if (open_.empty()) return std::nullopt;
    return open_.back();
}

void AnimationRecorder::recordChange(const UIView& view, std::string property, AnimatedValue value,
                                     bool animatedSetter) {
    PropertyChange change;
    change.view = sharedFrom(const_cast<UIView*>(&view));
    change.identity = &view;
    change.property = std::move(property);
    change.value = value;
    change.blockId = currentBlockId();
    change.animatedSetter = animatedSetter;
    changes_.push_back(std::move(change));
    if (changes_.size() > kMaxEntries) changes_.pop_front();
}

std::vector<PropertyChange> AnimationRecorder::changesInBlock(std::size_t id) const {
    std::vector<PropertyChange> out;
    for (const auto& c : changes_) {
        if (c.blockId == id) out.push_back(c);
    }
    return out;
}

std::vector<PropertyChange> AnimationRecorder::changesOf(const UIView* view,
                                                         const std::string& property) const {
    std::vector<PropertyChange> out;
    for (const auto& c : changes_) {
        if (c.identity == view && c.property == property) out.push_back(c);
    }
    return out;
}

const AnimationBlock* AnimationRecorder::lastBlock() const {
    return blocks_.empty() ? nullptr : &blocks_.back();
}

void AnimationRecorder::clear() {
    open_.clear();
    blocks_.clear();
    changes_.clear();
}

}  // namespace vx
