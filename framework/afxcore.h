#pragma once
// Run-time class records, message-map tables and the command target that looks messages up in
// them. The entry macros that fill the tables are in afxmsg.h.
#include <windows.h>

#include "afxdiag.h"

#ifndef afx_msg
#define afx_msg
#endif

// ---- run-time class records ------------------------------------------------------------------

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
  bool IsDerivedFrom(const CRuntimeClass* pBase) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)
#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                               \
  const CRuntimeClass class_name::class##class_name = {#class_name, RUNTIME_CLASS(base_class_name)}; \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject {
 public:
  static const CRuntimeClass classCObject;
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const CRuntimeClass* pClass) const;

 protected:
  CObject() = default;
};

// ---- message maps ----------------------------------------------------------------------------

class CCmdTarget;
typedef BOOL (*AFX_PMSG)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, or AFX_WM_REFLECT_BASE + message for a reflected entry
  UINT nCode;     // notification code for commands and notifications
  UINT nID;       // first control id
  UINT nLastID;   // last control id
  AFX_PMSG pfn;   // cracks the parameters and calls the handler; TRUE when handled
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected entries live in the child's map under this offset; never sent as real messages.
constexpr UINT AFX_WM_REFLECT_BASE = 0xBC00;
// All WM_CTLCOLOR* requests share one map entry, as in 16-bit Windows.
constexpr UINT AFX_WM_CTLCOLOR = 0x0019;

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    static_assert(sizeof(ThisClass) > 0, "complete class");                         \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, nullptr }                                                                       \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

// ---- command targets ------------------------------------------------------------------------

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;

  // Looks a message up in this class's map and its bases'; TRUE when a handler took it.
  BOOL DispatchMapMessage(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  const AFX_MSGMAP_ENTRY* FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const;

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};
