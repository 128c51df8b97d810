#pragma once
// The record of view animations. Nothing moves on screen: a property change takes effect at
// once, and the recorder notes which animation block (if any) was open when it happened.
// UIView's class functions (beginAnimations, setAnimationCurve, setAnimationDuration,
// commitAnimations, animateWithDuration) open and close the blocks; the setters of frame,
// bounds, contentOffset, contentInset, scrollIndicatorInsets and contentSize report their
// changes here. Tests read the record; nothing in it affects behaviour.
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui/geometry.h"

namespace vx {

class UIView;

// UIViewAnimationCurve; the keyboard reports other values (7), so a curve is kept as int.
enum UIViewAnimationCurve : int {
    UIViewAnimationCurveEaseInOut = 0,
    UIViewAnimationCurveEaseIn = 1,
    UIViewAnimationCurveEaseOut = 2,
    UIViewAnimationCurveLinear = 3,
};

struct AnimationBlock {
    enum class Kind { BeginCommit, AnimateWithDuration };
    std::size_t id = 0;  // 1, 2, 3… in the order blocks were opened
    Kind kind = Kind::BeginCommit;
    int curve = UIViewAnimationCurveEaseInOut;
    double duration = 0.2;  // UIKit's default for begin/commit blocks
    bool committed = false;
};

using AnimatedValue = std::variant<CGRect, CGPoint, CGSize, UIEdgeInsets, double, bool>;

struct PropertyChange {
    std::weak_ptr<UIView> view;
    const UIView* identity = nullptr;    // for comparison only; never dereferenced
    std::string property;                // "frame", "contentInset", …
    AnimatedValue value;                 // the new value
    std::optional<std::size_t> blockId;  // the innermost open block, if any
    bool animatedSetter = false;         // set through an "animated: YES" setter
};

class AnimationRecorder {
public:
    static AnimationRecorder& shared();

    // Block bookkeeping, used by UIView's animation functions.
    std::size_t openBlock(AnimationBlock::Kind kind, int curve, double duration);
    void setCurveOfOpenBlock(int curve);
    void setDurationOfOpenBlock(double duration);
    // Closes the innermost open block; false when none was open.
    bool closeBlock();
    std::optional<std::size_t> currentBlockId() const;
    bool insideBlock() const { return !open_.empty(); }

    void recordChange(const UIView& view, std::string property, AnimatedValue value,
                      bool animatedSetter = false);

    // The newest blocks and changes (the oldest are dropped beyond kMaxEntries each).
    const std::deque<AnimationBlock>& blocks() const { return blocks_; }
    const std::deque<PropertyChange>& changes() const { return changes_; }
    const AnimationBlock* block(std::size_t id) const;
    // The changes made inside the given block, in order.
    std::vector<PropertyChange> changesInBlock(std::size_t id) const;
    // The changes of one property of one view, in order.
    std::vector<PropertyChange> changesOf(const UIView* view, const std::string& property) const;
    const AnimationBlock* lastBlock() const;

    // Forgets everything, open blocks included (tests).
    void clear();

    static constexpr std::size_t kMaxEntries = 4096;

private:
    AnimationRecorder() = default;
    std::size_t nextId_ = 1;
    std::vector<std::size_t> open_;
    std::deque<AnimationBlock> blocks_;
    std::deque<PropertyChange> changes_;
    AnimationBlock* mutableBlock(std::size_t id);
};

}  // namespace vx
