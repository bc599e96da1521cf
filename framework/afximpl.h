#pragma once
// Framework internals shared by its sources (windows and menus): handle maps and the
// per-thread temporary stand-ins. Callers never include this header.
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "afxwin.h"

namespace afximpl {

// Handle → object maps of attached objects, process-wide and locked: the optimization worker
// looks windows up too.
template <class H, class T>
class CHandleMap {
 public:
  T* FindPermanent(H h) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_permanent.find(h);
    return it == m_permanent.end() ? nullptr : it->second;
  }
  bool AddPermanent(H h, T* p) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_permanent.emplace(h, p).second;
  }
  void RemovePermanent(H h, T* p) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_permanent.find(h);
    if (it != m_permanent.end() && it->second == p) m_permanent.erase(it);
  }

 private:
  std::mutex m_lock;
  std::unordered_map<H, T*> m_permanent;
};

extern std::atomic<size_t> g_nTempObjects;

// Stand-ins for handles without an object. Each thread has its own, so freeing them can never
// pull one from under another thread; a handle's stand-in is reused until they are freed.
struct CTempMaps {
  std::unordered_map<HWND, std::unique_ptr<CWnd>> wnds;
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;

  void Clear() {
    g_nTempObjects -= wnds.size() + menus.size();
    wnds.clear();
    menus.clear();
  }
};

// The calling thread's maps, or nullptr before its first stand-in.
CTempMaps* ThisThreadsTempMaps();
// The calling thread's maps, made on first use; they are freed when the thread ends.
CTempMaps& TempMaps();

template <class H, class T, class MakeTemp>
T* FindOrMakeTemporary(CHandleMap<H, T>& permanent, std::unordered_map<H, std::unique_ptr<T>>& temps, H h,
                       MakeTemp makeTemp) {
  if (T* p = permanent.FindPermanent(h)) return p;
  auto& slot = temps[h];
  if (!slot) {
    slot = makeTemp(h);
    ++g_nTempObjects;
  }
  return slot.get();
}

}  // namespace afximpl
