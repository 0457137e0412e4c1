#pragma once
// The window's configuration as a document: where it came from, whether it
// changed since (a comparison with what it was then, not a flag every control
// would have to set), and the undo history as snapshots of the plain
// configuration. No Qt.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Configuration.h"

namespace vk410 {

// What the window edits: the configuration and the six GPRS texts.
struct DocumentContent {
    Configuration cfg;
    GprsTexts texts;
};

// Whether two contents set a panel up alike: the model, the payloads of
// blocks 1 and 2 and the GPRS texts. Frame headers and check bytes belong to
// the line, and block 3 is built from the texts.
bool SameContent(const DocumentContent& a, const DocumentContent& b);

enum class OriginKind { Startup, File, PanelRead, JournalEntry };

struct DocumentOrigin {
    OriginKind kind = OriginKind::Startup;
    std::string path; // File and JournalEntry: the file (UTF-8)
    // JournalEntry: the entry kept the panel's exact bytes, radio settings included.
    bool exactBytes = false;
};

// What a recovery copy keeps of a document: enough to go on where it stopped.
struct DocumentCopy {
    DocumentContent content;
    DocumentContent baseline; // what the content was when it came
    DocumentOrigin origin;
    bool radioFromPanel = false;
    int panelVersion = -1;
};

inline constexpr std::size_t kUndoSteps = 200;

class Document {
public:
    explicit Document(const DocumentContent& startup, std::size_t undoSteps = kUndoSteps);

    const DocumentContent& Content() const { return steps_[current_].content; }
    const DocumentOrigin& Origin() const { return steps_[current_].arrival->origin; }
    // Block 1's radio bytes (payload 0..3), which no page shows and files
    // never keep, are what a panel gave: true after a read that took block 1.
    bool RadioFromPanel() const { return steps_[current_].radioFromPanel; }
    // The firmware of the panel the content was read from; -1 when none.
    int PanelVersion() const { return steps_[current_].panelVersion; }
    bool Modified() const;
    // The file "Сохранить" may replace without asking: the one the content
    // came from or was saved to since. Empty when it must ask for a name.
    std::string SaveTarget() const;
    DocumentCopy Copy() const;

    // The content came from elsewhere (a file, a panel, a journal entry): a
    // step of its own, unchanged until edited.
    void Arrive(const DocumentContent& content, const DocumentOrigin& origin, bool radioFromPanel = false,
                int panelVersion = -1);
    // A recovery copy: a step of its own that keeps the copy's changes.
    void Restore(const DocumentCopy& copy);
    // The user changed the content; false when nothing changed. A nonzero
    // group folds the change into the latest step when that step is the same
    // group's and nothing came between (typing into one edit).
    bool Edit(const DocumentContent& content, unsigned group = 0);
    // The user picked another model: its defaults, whose radio bytes are no panel's.
    void SwitchModel(const DocumentContent& content);
    // The window holds the content in another form that changes nothing
    // (frame headers after a write, values a refresh normalised): no step.
    void Follow(const DocumentContent& content);
    // The content was saved to path: from now on it came from that file, and
    // every step that came from that file compares with what it now holds.
    void Saved(const std::string& path);

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < steps_.size(); }
    bool Undo();
    bool Redo();

private:
    struct Arrival {
        DocumentOrigin origin;
        DocumentContent baseline;
    };
    struct Step {
        DocumentContent content;
        std::shared_ptr<Arrival> arrival;
        bool radioFromPanel = false;
        int panelVersion = -1;
        unsigned group = 0;
    };
    void Push(Step step);

    std::vector<Step> steps_;
    std::size_t current_ = 0;
    std::size_t undoSteps_;
    bool mergeOpen_ = false;
};

} // namespace vk410
