// Drives a modal dialog from inside its own message loop: each step runs on
// one tick of a thread timer, with the open About box, and the loop handles
// what the step set going (real input, painting) before the next one. A step
// may handle messages itself (to wait for the pointer, say); the ticks that
// come meanwhile do not start the next step inside it.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

class ModalScript {
 public:
  using Step = std::function<void(HWND about)>;
  explicit ModalScript(std::vector<Step> steps, UINT intervalMs = 120);
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  bool finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void RunNextStep();

  std::vector<Step> steps_;
  size_t next_ = 0;
  bool inStep_ = false;
  int idleTicks_ = 0;
  UINT_PTR timer_;
};
