// The "Tags" window: every tag with the number of objects in its group, a visibility toggle and a lock.
// Clicking a tag selects it. Visibility and locks are view state of the stage, not edits: they are not
// saved and not undone.
#pragma once

#include <string>
#include <vector>

class CEditor;

class CTagPanel {
public:
    explicit CTagPanel(CEditor& editor) : editor_(editor) {}

    void Show();

    static constexpr const char* kWindow = "Tags";

    struct Row {
        std::string tag;
        std::size_t objects = 0;
        bool listed = false;  // in the editor's tag list, so it can be selected
    };
    // The rows as shown: the tag list's names in order (each once), then the stage's groups that the list
    // lacks.
    std::vector<Row> Rows() const;

private:
    CEditor& editor_;
};
