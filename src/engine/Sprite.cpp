// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite tree nodes: attachment, depth order, passes and destruction.
#include "Sprite.h"

#include "EngineErrors.h"
#include "SpriteEngine.h"

#include <algorithm>

namespace {

// First position whose sprite has a Z of at least z.
std::vector<TSprite*>::iterator LowerBoundZ(std::vector<TSprite*>& order, int z)
{
    return std::lower_bound(order.begin(), order.end(), z,
                            [](const TSprite* sprite, int value) { return sprite->Z() < value; });
}

// Searches from the back: the dead pass and Clear remove the newest first.
bool EraseFromBack(std::vector<TSprite*>& list, const TSprite* sprite)
{
    const auto it = std::find(list.rbegin(), list.rend(), sprite);
    if (it == list.rend()) return false;
    list.erase(std::next(it).base());
    return true;
}

} // namespace

TSprite::TSprite(TSprite* parent) : Parent_(parent)
{
    if (parent == nullptr) return;
    if (auto* root = dynamic_cast<TSpriteEngine*>(parent))
        Engine_ = root;
    else
        Engine_ = parent->Engine_;
    parent->Children_.push_back(this);
    try {
        parent->InsertDrawOrder(this);
    } catch (...) {
        parent->Children_.pop_back();
        throw;
    }
    if (Engine_ != nullptr) ++Engine_->AllCount_;
}

TSprite::~TSprite()
{
    DestroyChildren();
    if (Parent_ == nullptr) return;
    if (Engine_ != nullptr) {
        --Engine_->AllCount_;
        if (MarkedDead_) EraseFromBack(Engine_->DeadList_, this);
        if (Engine_->CollisionSprite_ == this) Engine_->CollisionSprite_ = nullptr;
    }
    Parent_->RemoveChild(this);
}

void TSprite::InsertDrawOrder(TSprite* child)
{
    DrawOrder_.insert(LowerBoundZ(DrawOrder_, child->Z_), child);
}

void TSprite::RemoveDrawOrder(TSprite* child)
{
    // The list is sorted by the child's current Z, so only its run of equal
    // values needs a look.
    for (auto it = LowerBoundZ(DrawOrder_, child->Z_); it != DrawOrder_.end() && (*it)->Z_ == child->Z_; ++it) {
        if (*it == child) {
            DrawOrder_.erase(it);
            return;
        }
    }
    EraseFromBack(DrawOrder_, child);
}

void TSprite::RemoveChild(TSprite* child)
{
    if (!EraseFromBack(Children_, child)) return;
    RemoveDrawOrder(child);
    if (Children_.empty()) {
        // The lists exist only while there are children.
        std::vector<TSprite*>().swap(Children_);
        std::vector<TSprite*>().swap(DrawOrder_);
    }
}

void TSprite::SetZ(int value)
{
    if (Z_ == value) return;
    if (Parent_ == nullptr) {
        Z_ = value;
        return;
    }
    Parent_->RemoveDrawOrder(this);
    Z_ = value;
    Parent_->InsertDrawOrder(this);
}

void TSprite::Dead()
{
    if (Engine_ == nullptr || MarkedDead_) return;
    Engine_->DeadList_.push_back(this);
    MarkedDead_ = true;
}

TSpriteEngine* TSprite::TreeRoot()
{
    return Engine_ != nullptr ? Engine_ : IsRoot_ ? static_cast<TSpriteEngine*>(this) : nullptr;
}

void TSprite::DestroyChildren()
{
    while (!Children_.empty()) delete Children_.back();
}

void TSprite::Clear()
{
    // The move pass walks the child lists; freeing sprites under it would
    // leave it on freed memory.
    if (const TSpriteEngine* root = TreeRoot(); root != nullptr && root->Moving())
        throw ESpriteError("Sprites cannot be freed during the move pass");
    DestroyChildren();
}

void TSprite::Move(int moveCount)
{
    if (!Moved) return;
    struct TPass {
        TSpriteEngine* Root;
        explicit TPass(TSpriteEngine* root) : Root(root) { if (Root) ++Root->MovePasses_; }
        ~TPass() { if (Root) --Root->MovePasses_; }
        TPass(const TPass&) = delete;
        TPass& operator=(const TPass&) = delete;
    } pass(TreeRoot());
    DoMove(moveCount);
    // Sprites attached during the pass wait for the next one.
    const size_t count = Children_.size();
    for (size_t i = 0; i < count && i < Children_.size(); ++i) Children_[i]->Move(moveCount);
}

void TSprite::DrawTree()
{
    if (!Visible) return;
    if (Engine_ != nullptr && OverlapRect(BoundsRect(), Engine_->SurfaceRect_)) {
        DoDraw();
        ++Engine_->DrawCount_;
    }
    const size_t count = DrawOrder_.size();
    for (size_t i = 0; i < count && i < DrawOrder_.size(); ++i) DrawOrder_[i]->DrawTree();
}

int TSprite::Collision()
{
    if (Engine_ == nullptr || MarkedDead_ || !Collisioned) return 0;
    TSpriteEngine& root = *Engine_;
    root.CollisionCount_ = 0;
    root.CollisionDone_ = false;
    root.CollisionRect_ = BoundsRect();
    root.CollisionSprite_ = this;
    const std::vector<TSprite*>& top = root.Children_;
    const size_t count = top.size();
    for (size_t i = 0; i < count && i < top.size(); ++i) top[i]->CollisionVisit();
    return root.CollisionCount_;
}

void TSprite::CollisionVisit()
{
    if (!Collisioned || Engine_ == nullptr) return;
    TSpriteEngine& root = *Engine_;
    TSprite* query = root.CollisionSprite_;
    if (query == nullptr) return;
    if (this != query && OverlapRect(BoundsRect(), root.CollisionRect_) && query->TestCollision(this) &&
        TestCollision(query)) {
        ++root.CollisionCount_;
        query->DoCollision(this, root.CollisionDone_);
        // The query may have been ended by what DoCollision did to its sprite.
        if (root.CollisionSprite_ == nullptr || !query->Collisioned || query->MarkedDead_)
            root.CollisionDone_ = true;
    }
    if (root.CollisionDone_) return;
    const size_t count = Children_.size();
    for (size_t i = 0; i < count && i < Children_.size(); ++i) Children_[i]->CollisionVisit();
}

TSprite* TSprite::Items(int index) const
{
    if (Children_.empty()) throw ESpriteError(FormatMessage("Index of the list exceeds the range. (%d)", index));
    if (index < 0 || index >= Count()) throw EListError(FormatMessage("List index out of bounds (%d)", index));
    return Children_[static_cast<size_t>(index)];
}

double TSprite::WorldX() const
{
    return Parent_ != nullptr ? Parent_->WorldX() + X : X;
}

double TSprite::WorldY() const
{
    return Parent_ != nullptr ? Parent_->WorldY() + Y : Y;
}

void TSprite::DoCollision(TSprite* /*sprite*/, bool& /*done*/) {}

void TSprite::DoDraw() {}

void TSprite::DoMove(int /*moveCount*/) {}

TRect TSprite::BoundsRect()
{
    const int left = TruncateToInt(WorldX());
    const int top = TruncateToInt(WorldY());
    return {left, top, SaturateToInt(int64_t{left} + Width), SaturateToInt(int64_t{top} + Height)};
}

bool TSprite::TestCollision(TSprite* /*sprite*/)
{
    return true;
}
