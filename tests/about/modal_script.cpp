#include "tests/about/modal_script.h"

#include "about/about_dialog_internal.h"

namespace {

ModalScript* running = nullptr;
// A box the steps forgot to close ends with this code after a while, so a
// broken test fails instead of hanging.
const int IDLE_TICKS_BEFORE_CLOSING = 30;
const INT_PTR FORGOTTEN_BOX = -99;

}  // namespace

ModalScript::ModalScript(std::vector<Step> steps, UINT intervalMs)
    : steps_(std::move(steps)), timer_(SetTimer(nullptr, 0, intervalMs, Tick)) {
  running = this;
}

ModalScript::~ModalScript() {
  KillTimer(nullptr, timer_);
  running = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (running) running->RunNextStep();
}

void ModalScript::RunNextStep() {
  HWND about = GetAboutWindow();
  if (!about || !IsWindowVisible(about) || inStep_) return;
  if (next_ < steps_.size()) {
    Step& step = steps_[next_++];
    inStep_ = true;
    step(about);
    inStep_ = false;
    return;
  }
  if (++idleTicks_ > IDLE_TICKS_BEFORE_CLOSING) EndDialog(about, FORGOTTEN_BOX);
}
