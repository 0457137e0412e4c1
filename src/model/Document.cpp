#include "Document.h"

#include <algorithm>

namespace vk410 {

namespace {

template <class Block> bool SamePayload(const Block& a, const Block& b, std::size_t length)
{
    return std::equal(a.payload(), a.payload() + length, b.payload());
}

} // namespace

bool SameContent(const DocumentContent& a, const DocumentContent& b)
{
    return a.cfg.model == b.cfg.model && SamePayload(a.cfg.main, b.cfg.main, PayloadLength(a.cfg.model)) &&
           SamePayload(a.cfg.gsm, b.cfg.gsm, kGsmPayloadSize) && a.texts == b.texts;
}

Document::Document(const DocumentContent& startup, std::size_t undoSteps) : undoSteps_(std::max<std::size_t>(undoSteps, 1))
{
    auto arrival = std::make_shared<Arrival>();
    arrival->baseline = startup;
    steps_.push_back({startup, std::move(arrival)});
}

bool Document::Modified() const
{
    const Step& step = steps_[current_];
    return !SameContent(step.content, step.arrival->baseline);
}

std::string Document::SaveTarget() const
{
    return Origin().kind == OriginKind::File ? Origin().path : std::string();
}

DocumentCopy Document::Copy() const
{
    const Step& step = steps_[current_];
    return {step.content, step.arrival->baseline, step.arrival->origin, step.radioFromPanel, step.panelVersion};
}

void Document::Push(Step step)
{
    steps_.erase(steps_.begin() + std::ptrdiff_t(current_ + 1), steps_.end());
    steps_.push_back(std::move(step));
    if (steps_.size() > undoSteps_ + 1)
        steps_.erase(steps_.begin());
    current_ = steps_.size() - 1;
    mergeOpen_ = false;
}

void Document::Arrive(const DocumentContent& content, const DocumentOrigin& origin, bool radioFromPanel,
                      int panelVersion)
{
    Push({content, std::make_shared<Arrival>(Arrival{origin, content}), radioFromPanel, panelVersion});
}

void Document::Restore(const DocumentCopy& copy)
{
    Push({copy.content, std::make_shared<Arrival>(Arrival{copy.origin, copy.baseline}), copy.radioFromPanel,
          copy.panelVersion});
}

bool Document::Edit(const DocumentContent& content, unsigned group)
{
    Step& top = steps_[current_];
    if (SameContent(content, top.content)) {
        top.content = content;
        return false;
    }
    const bool merge =
        group != 0 && mergeOpen_ && top.group == group && current_ > 0 && current_ + 1 == steps_.size();
    if (!merge) {
        Push({content, top.arrival, top.radioFromPanel, top.panelVersion, group});
        mergeOpen_ = group != 0;
        return true;
    }
    top.content = content;
    // Typed and taken back: the step changes nothing any more.
    const Step& before = steps_[current_ - 1];
    if (before.arrival == top.arrival && SameContent(before.content, content)) {
        steps_.pop_back();
        --current_;
        mergeOpen_ = false;
    }
    return true;
}

void Document::SwitchModel(const DocumentContent& content)
{
    const Step& top = steps_[current_];
    Push({content, top.arrival, false, -1});
}

void Document::Follow(const DocumentContent& content)
{
    steps_[current_].content = content;
}

void Document::Saved(const std::string& path)
{
    Step& top = steps_[current_];
    for (Step& step : steps_)
        if (step.arrival != top.arrival && step.arrival->origin.kind == OriginKind::File &&
            step.arrival->origin.path == path)
            step.arrival->baseline = top.content;
    top.arrival->origin = {OriginKind::File, path, false};
    top.arrival->baseline = top.content;
    mergeOpen_ = false;
}

bool Document::Undo()
{
    mergeOpen_ = false;
    if (!CanUndo())
        return false;
    --current_;
    return true;
}

bool Document::Redo()
{
    mergeOpen_ = false;
    if (!CanRedo())
        return false;
    ++current_;
    return true;
}

} // namespace vk410
