#pragma once
// The wizard as a run's report: its progress page, message boxes and status
// label. Under /SILENT it asks nothing, taking each question's default answer.

#include "setup/run_report.h"
#include "ui/view.h"

namespace velmoran::ui {

class WizardReport : public setup::RunReport {
public:
    enum class Run { Installation, Uninstall };
    struct Questions {
        bool ask = true;         // false: every question takes its default answer
        bool showBoxes = true;   // false: messages go to the setup log alone
    };

    WizardReport(View& view, Run run, Questions questions) : view_(view), run_(run), questions_(questions) {}

    void StartProgress(long long total) override;
    void Advance(long long amount) override;
    void KeepResponsive() override { view_.ProcessMessages(); }
    bool Ask(const std::string& question) override;
    void Tell(setup::Notice kind, const std::string& message) override;
    void Status(const std::string& text) override;

private:
    Gauge RunGauge() const { return run_ == Run::Installation ? Gauge::Progress : Gauge::Uninstall; }

    View& view_;
    Run run_;
    Questions questions_;
};

}  // namespace velmoran::ui
