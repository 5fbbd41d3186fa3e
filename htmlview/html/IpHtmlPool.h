#pragma once
// The pool the document takes its layout elements from: fixed-size items handed out in pages,
// never freed one by one, all released with the pool. It holds at most a given number of items;
// past that it raises "Out of memory", so a document cannot make layout grow without bound.
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TIpHtmlPoolManager {
  public:
    // ItemSize is rounded up to the next size that divides a page (48 becomes 64).
    TIpHtmlPoolManager(size_t ItemSize, size_t MaxItems);
    ~TIpHtmlPoolManager();
    TIpHtmlPoolManager(const TIpHtmlPoolManager&) = delete;
    TIpHtmlPoolManager& operator=(const TIpHtmlPoolManager&) = delete;

    // Uninitialised storage for one item; EIpHtmlException "Out of memory" past the maximum.
    void* NewItm();
    // Calls Proc with every item handed out so far, in the order they were handed out.
    void EnumerateItems(const std::function<void(void*)>& Proc) const;
    size_t ItemSize() const { return FItemSize; }
    size_t Count() const { return FCount; }

  private:
    size_t FItemSize;
    size_t FMaxItems;
    size_t FItemsPerPage;
    size_t FCount = 0;
    std::vector<std::unique_ptr<std::byte[]>> FPages;
    std::mutex FLock;
};
