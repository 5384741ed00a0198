#include "fake_view.h"

#include "common/failure.h"

namespace velmoran::testing {

Bytes FakeView::Decode(const Bytes& jpeg) {
    // A JPEG starts with SOI; anything else fails to decode, as it would for real.
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) throw Failure("JPEG error");
    return jpeg;
}

void FakeView::LoadRichText(ui::RichBox box, const Bytes& text) {
    const std::string content(text.begin(), text.end());
    richTexts[box] = content;
    richAsRtf[box] = content.rfind("{\\rtf", 0) == 0;
}

void FakeView::PointDirectoryList(const std::string& folder) {
    if (folder.empty()) return;
    std::string shown = folder;
    if (shown.size() > 3 && shown.back() == '\\') shown.pop_back();
    if (shown == listFolder) return;
    if (!files_->FolderExists(shown)) throw Failure("Directory not found");
    listFolder = shown;
    files_->SetCurrentFolder(shown);
    if (install_) install_->Handle(&ui::Install::DirectoryListBox1Change);
}

void FakeView::SetFolderName(const std::string& name) {
    if (name == folderName) return;
    folderName = name;
    if (install_) install_->Handle(&ui::Install::edtFolderChange);
}

ui::MessageResult FakeView::ShowMessage(ui::MessageKind kind, const std::string& text, ui::MessageButtons buttons) {
    boxes.push_back({kind, text, buttons});
    if (!answers_.empty()) {
        const ui::MessageResult answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (buttons) {
        case ui::MessageButtons::YesNo: return ui::MessageResult::Yes;
        case ui::MessageButtons::Abort: return ui::MessageResult::Abort;
        case ui::MessageButtons::Ok: break;
    }
    return ui::MessageResult::Ok;
}

void FakeView::ProcessMessages() {
    ++pumps;
    if (onPump_) onPump_(pumps);
}

}  // namespace velmoran::testing
