// The "Tags" window: every tag with the number of objects in its group, a visibility toggle and a lock.
// Clicking a tag selects it. Visibility and locks are view state of the stage, not edits: they are not
// saved and not undone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CEditor;

class CTagPanel {
public:
    explicit CTagPanel(CEditor& editor) : editor_(editor) {}

    // Draws the window; its close box, when `open` is given, clears *open.
    void Show(bool* open = nullptr);

    static constexpr const char* kWindow = "Tags";

    struct Row {
        std::string tag;
        std::size_t objects = 0;
        bool listed = false;  // in the editor's tag list, so it can be selected
        std::size_t listIndex = 0;  // its first entry in the list, when listed
    };
    // The rows as shown: the tag list's names in order (each once), then the stage's groups that the list
    // lacks. Linear in the tags and groups.
    std::vector<Row> Rows() const;
    // Rows built as widgets in the last Show: only those in view.
    int DrawnRows() const { return drawnRows_; }

private:
    // The rows of the last look, made again only when the history, the tag list's or the groups' count
    // changed, or a row in view no longer matches the list; the counts are read for the rows in view.
    const std::vector<Row>& CurrentRows();
    void ShowRow(const Row& row, const std::string& selected);

    CEditor& editor_;
    std::vector<Row> rows_;
    std::uint64_t rowsVersion_ = 0;
    std::size_t rowsTags_ = 0;
    std::size_t rowsGroups_ = 0;
    bool rowsValid_ = false;
    int drawnRows_ = 0;
};
