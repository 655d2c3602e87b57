#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

// A class lists the messages and commands it handles in one table:
//
//   const ui::MessageMap* CMyFrame::GetMessageMap() const
//   {
//       static const ui::MessageMap map(CFrameWnd::GetMessageMap(), {
//           ui::OnMessage(WM_CREATE, &CMyFrame::OnCreate),
//           ui::OnCommand(ID_FILE_OPEN, &CMyFrame::OnFileOpen),
//           ui::OnUpdate(ID_FILE_SAVE, &CMyFrame::OnUpdateFileSave),
//       });
//       return &map;
//   }
//
// The first matching entry of the most derived table wins; a message no
// table names gets the window's default processing.
namespace ui {

class CommandTarget;
class CommandState;

// The notification code under which a command's update handler is asked.
constexpr int kUpdateCode = -1;

struct MessageEntry {
    enum Kind { Message, Command, CommandRange, Control, Notify, Update, UpdateRange };
    Kind kind;
    UINT message;  // Message
    UINT firstId;  // every other kind
    UINT lastId;
    int code;      // Control (WM_COMMAND code), Notify (NMHDR code)
    // Message: (wParam, lParam); CommandRange: (id, 0); Notify: (0, NMHDR*);
    // Update and UpdateRange: (0, CommandState*); Command and Control: unused.
    std::function<LRESULT(CommandTarget&, WPARAM, LPARAM)> call;
};

class MessageMap {
public:
    MessageMap(const MessageMap* base, std::initializer_list<MessageEntry> entries)
        : base_(base), entries_(entries)
    {
    }
    const MessageMap* base() const { return base_; }
    const std::vector<MessageEntry>& entries() const { return entries_; }

private:
    const MessageMap* base_;
    std::vector<MessageEntry> entries_;
};

// Any window message. Handler: LRESULT OnX(WPARAM, LPARAM); call CallDefault()
// inside it for the default processing.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*fn)(WPARAM, LPARAM))
{
    return {MessageEntry::Message, message, 0, 0, 0,
            [fn](CommandTarget& t, WPARAM w, LPARAM l) { return (static_cast<T&>(t).*fn)(w, l); }};
}

// A command from a menu, an accelerator, a toolbar or a button click.
// Handler: void OnX().
template <class T>
MessageEntry OnCommand(UINT id, void (T::*fn)())
{
    return {MessageEntry::Command, 0, id, id, 0, [fn](CommandTarget& t, WPARAM, LPARAM) {
                (static_cast<T&>(t).*fn)();
                return LRESULT(0);
            }};
}

// Commands first..last. Handler: void OnX(UINT id).
template <class T>
MessageEntry OnCommandRange(UINT first, UINT last, void (T::*fn)(UINT))
{
    return {MessageEntry::CommandRange, 0, first, last, 0, [fn](CommandTarget& t, WPARAM id, LPARAM) {
                (static_cast<T&>(t).*fn)(static_cast<UINT>(id));
                return LRESULT(0);
            }};
}

// A control notification carried by WM_COMMAND (EN_CHANGE, CBN_SELCHANGE,
// BN_CLICKED...). Handler: void OnX().
template <class T>
MessageEntry OnControl(int code, UINT id, void (T::*fn)())
{
    return {MessageEntry::Control, 0, id, id, code, [fn](CommandTarget& t, WPARAM, LPARAM) {
                (static_cast<T&>(t).*fn)();
                return LRESULT(0);
            }};
}

// A WM_NOTIFY notification. Handler: LRESULT OnX(NMHDR*), whose result is
// the message's.
template <class T>
MessageEntry OnNotify(int code, UINT id, LRESULT (T::*fn)(NMHDR*))
{
    return {MessageEntry::Notify, 0, id, id, code, [fn](CommandTarget& t, WPARAM, LPARAM l) {
                return (static_cast<T&>(t).*fn)(reinterpret_cast<NMHDR*>(l));
            }};
}

// The enable/check/text state of a command. Handler: void OnUpdateX(CommandState*).
template <class T>
MessageEntry OnUpdate(UINT id, void (T::*fn)(CommandState*))
{
    return {MessageEntry::Update, 0, id, id, 0, [fn](CommandTarget& t, WPARAM, LPARAM l) {
                (static_cast<T&>(t).*fn)(reinterpret_cast<CommandState*>(l));
                return LRESULT(0);
            }};
}

template <class T>
MessageEntry OnUpdateRange(UINT first, UINT last, void (T::*fn)(CommandState*))
{
    return {MessageEntry::UpdateRange, 0, first, last, 0, [fn](CommandTarget& t, WPARAM, LPARAM l) {
                (static_cast<T&>(t).*fn)(reinterpret_cast<CommandState*>(l));
                return LRESULT(0);
            }};
}

}  // namespace ui
