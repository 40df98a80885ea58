#include "tests/WindowTestSupport.h"

#include <QPushButton>

namespace ledgerlift::test {

MsgAnswer AnsweringOps::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon,
                               const std::string&) {
    messages.push_back(text);
    if (buttons == MsgButtons::OK) {
        return MsgAnswer::OK;
    }
    return answer ? answer(text) : MsgAnswer::Yes;
}

std::optional<std::string> AnsweringOps::ShowOpen(const std::string& filter) {
    if (file.empty()) {
        return QtWindowOps::ShowOpen(filter);
    }
    return file;
}

std::optional<std::string> AnsweringOps::ShowSave(const std::string&, const std::string& name) {
    saveNames.push_back(name);
    if (saveFiles.empty()) {
        return std::nullopt;
    }
    std::string next = saveFiles.front();
    saveFiles.pop_front();
    return next;
}

std::optional<int> AnsweringOps::ChooseFromList(const std::string&, const std::string&,
                                                const std::vector<std::string>& entries) {
    listed = entries;
    if (!choice || *choice < 0 || *choice >= static_cast<int>(entries.size())) {
        return std::nullopt;
    }
    return choice;
}

void AnsweringOps::DoEvents() {
    QtWindowOps::DoEvents();
    if (onPass && !inPass_) {
        inPass_ = true;
        onPass();
        inPass_ = false;
    }
}

bool AnsweringOps::Asked(const std::string& start) const {
    for (const auto& m : messages) {
        if (m.rfind(start, 0) == 0) {
            return true;
        }
    }
    return false;
}

void DemoWindow::Show(const std::vector<std::string>& companies, QSize size) {
    for (std::size_t i = 0; i < companies.size(); ++i) {
        std::string path =
            product.AddCompany(companies[i], "C0" + std::to_string(i + 1), companies[i]);
        if (i == 0) {
            db = path;
        }
    }
    form.OnStart();
    window = std::make_unique<MainWindow>(form);
    ops.Attach(window.get());
    if (size.isValid()) {
        window->resize(size);
    }
    window->show();
}

void DemoWindow::TearDown() {
    ops.onPass = nullptr;
    form.companyConnection.Close();
}

void DemoWindow::Load(const std::string& path) {
    ops.file = path;
    window->LoadButton()->click();
}

}  // namespace ledgerlift::test
