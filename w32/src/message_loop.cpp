#include "w32/message_loop.h"

#include <algorithm>

namespace w32 {

void MessageLoop::AddMessageFilter(MessageFilter* filter) {
  if (filter && std::find(filters_.begin(), filters_.end(), filter) == filters_.end())
    filters_.push_back(filter);
}

void MessageLoop::RemoveMessageFilter(MessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void MessageLoop::AddIdleHandler(IdleHandler* handler) {
  if (handler && std::find(idleHandlers_.begin(), idleHandlers_.end(), handler) == idleHandlers_.end())
    idleHandlers_.push_back(handler);
}

void MessageLoop::RemoveIdleHandler(IdleHandler* handler) {
  idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler),
                      idleHandlers_.end());
}

bool MessageLoop::PreTranslateMessage(MSG& message) {
  // A filter may remove itself while it runs: walk a copy.
  const std::vector<MessageFilter*> filters(filters_.rbegin(), filters_.rend());
  for (MessageFilter* filter : filters) {
    bool done = false;
    try {
      done = filter->PreTranslateMessage(message);
    } catch (...) {
      done = false;
    }
    if (done) return true;
  }
  return false;
}

bool MessageLoop::OnIdle() {
  bool more = false;
  const std::vector<IdleHandler*> handlers(idleHandlers_);
  for (IdleHandler* handler : handlers) {
    try {
      more = handler->OnIdle() || more;
    } catch (...) {
    }
  }
  return more;
}

int MessageLoop::Run() {
  MSG message{};
  bool idle = true;
  for (;;) {
    while (idle && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle()) idle = false;
    }
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return -1;
    if (!got) return static_cast<int>(message.wParam);
    if (!PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    // Idle time again after input or painting, as WTL does.
    switch (message.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
      case WM_PAINT:
      case 0x0118:  // WM_SYSTIMER (caret blink)
        break;
      default:
        idle = true;
    }
  }
}

bool AppModule::AddMessageLoop(MessageLoop* loop) {
  std::lock_guard<std::mutex> guard(lock_);
  return loops_.emplace(::GetCurrentThreadId(), loop).second;
}

void AppModule::RemoveMessageLoop() {
  std::lock_guard<std::mutex> guard(lock_);
  loops_.erase(::GetCurrentThreadId());
}

MessageLoop* AppModule::GetMessageLoop(DWORD threadId) const {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = loops_.find(threadId);
  return it == loops_.end() ? nullptr : it->second;
}

bool TranslateAcceleratorFor(HWND window, HACCEL accelerators, MSG& message) {
  if (!window || !accelerators) return false;
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (message.hwnd != window && !::IsChild(window, message.hwnd)) return false;
  return ::TranslateAcceleratorW(window, accelerators, &message) != 0;
}

}  // namespace w32
