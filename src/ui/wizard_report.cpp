#include "ui/wizard_report.h"

namespace velmoran::ui {

void WizardReport::StartProgress(long long total) {
    if (run_ == Run::Installation) {
        view_.SetGaugeProgress(Gauge::Progress, 0);
        view_.SetGaugeMax(Gauge::Progress, static_cast<int>(total));
        view_.ShowPage(Page::Installing);
    } else {
        view_.ShowPage(Page::Uninstalled);
        view_.EnableUninstallExit(false);
        view_.SetGaugeMax(Gauge::Uninstall, static_cast<int>(total));
        view_.SetGaugeProgress(Gauge::Uninstall, 0);
    }
}

void WizardReport::Advance(long long amount) {
    view_.SetGaugeProgress(RunGauge(), view_.GaugeProgress(RunGauge()) + amount);
    // The uninstall runs in steps too short for the message loop to paint between.
    if (run_ == Run::Uninstall) view_.RepaintGauge(Gauge::Uninstall);
}

bool WizardReport::Ask(const std::string& question) {
    if (!questions_.ask) return true;
    // Only No declines: a box closed by its close button lets the run go on.
    return view_.ShowMessage(MessageKind::Warning, question, MessageButtons::YesNo) != MessageResult::No;
}

void WizardReport::Tell(setup::Notice kind, const std::string& message) {
    if (!questions_.showBoxes) return;
    const MessageKind box = kind == setup::Notice::Warning ? MessageKind::Warning : MessageKind::Error;
    view_.ShowMessage(box, message, kind == setup::Notice::Abort ? MessageButtons::Abort : MessageButtons::Ok);
}

void WizardReport::Status(const std::string& text) {
    if (run_ == Run::Installation) {
        view_.SetLabel(Label::InstallingFile, text);
        view_.ProcessMessages();
    } else {
        view_.SetLabel(Label::Uninstall2, text);
    }
}

}  // namespace velmoran::ui
