// The message loop of a user-interface thread, with message filters (for
// accelerators and dialog keyboard handling) and idle handlers, and the
// application module that knows each thread's loop.
//
//   w32::MessageLoop loop;
//   module.AddMessageLoop(&loop);
//   loop.AddMessageFilter(&mainWindow);   // PreTranslateMessage
//   int code = loop.Run();                // until WM_QUIT; its wParam
//   module.RemoveMessageLoop();
#pragma once
#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

namespace w32 {

class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // True when the message was dealt with and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& message) = 0;
};

class IdleHandler {
 public:
  virtual ~IdleHandler() = default;
  virtual bool OnIdle() = 0;
};

class MessageLoop {
 public:
  void AddMessageFilter(MessageFilter* filter);
  void RemoveMessageFilter(MessageFilter* filter);
  void AddIdleHandler(IdleHandler* handler);
  void RemoveIdleHandler(IdleHandler* handler);

  // Runs until WM_QUIT and returns its wParam (-1 when GetMessage fails).
  int Run();
  // Offers a message to the filters, newest first.
  bool PreTranslateMessage(MSG& message);
  // Runs the idle handlers; true when any of them wants more idle time.
  bool OnIdle();

 private:
  std::vector<MessageFilter*> filters_;
  std::vector<IdleHandler*> idleHandlers_;
};

// Keeps the message loop of each user-interface thread of the process.
class AppModule {
 public:
  bool AddMessageLoop(MessageLoop* loop);  // for the calling thread
  void RemoveMessageLoop();                // the calling thread's
  MessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

 private:
  mutable std::mutex lock_;
  std::map<DWORD, MessageLoop*> loops_;
};

// Translates keyboard messages meant for `window` or its children through
// `accelerators` (commands go to `window`). True when translated.
bool TranslateAcceleratorFor(HWND window, HACCEL accelerators, MSG& message);

}  // namespace w32
