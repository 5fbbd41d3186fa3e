#include <strings.h>
#include <algorithm>
#include <cstring>

#include "platform/classes/Classes.h"

namespace {

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca -= 32;
        if (cb >= 'a' && cb <= 'z') cb -= 32;
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    if (FCaseSensitive) {
        int r = a.compare(b);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return CompareText(a, b);
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].Text;
}

void TStringList::SetString(int index, const std::string& value) {
    CheckIndex(index);
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    FItems[size_t(index)].Text = value;
}

void* TStringList::Objects(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].Object;
}

void TStringList::SetObject(int index, void* object) {
    CheckIndex(index);
    FItems[size_t(index)].Object = object;
}

int TStringList::Add(const std::string& value) {
    return AddObject(value, nullptr);
}

int TStringList::AddObject(const std::string& value, void* object) {
    int index = Count();
    if (FSorted) {
        if (Find(value, index)) {
            if (FDuplicates == dupIgnore) return index;
            if (FDuplicates == dupError)
                throw EStringListError("String list does not allow duplicates");
        }
    }
    FItems.insert(FItems.begin() + index, Item{value, object});
    return index;
}

void TStringList::Insert(int index, const std::string& value) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, Item{value, nullptr});
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(FItems[size_t(a)], FItems[size_t(b)]);
}

int TStringList::IndexOf(const std::string& value) const {
    if (FSorted) {
        int index;
        return Find(value, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(FItems[size_t(i)].Text, value) == 0) return i;
    return -1;
}

void TStringList::AddStrings(const TStringList& other) {
    for (const auto& item : other.FItems) AddObject(item.Text, item.Object);
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !FSorted) Sort();
    FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool value) {
    FCaseSensitive = value;
    if (FSorted) Sort();
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [this](const Item& a, const Item& b) {
        return CompareStrings(a.Text, b.Text) < 0;
    });
}

bool TStringList::Find(const std::string& value, int& index) const {
    // Binary search for the first entry not below value; with duplicates the first one is found.
    int low = 0, high = Count();
    while (low < high) {
        int mid = low + (high - low) / 2;
        if (CompareStrings(FItems[size_t(mid)].Text, value) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && CompareStrings(FItems[size_t(low)].Text, value) == 0;
}

std::string TStringList::Names(int index) const {
    const std::string& s = Strings(index);
    size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStringList::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = FItems[size_t(i)].Text;
        size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(s.substr(0, eq), name) == 0) return i;
    }
    return -1;
}

std::string TStringList::Values(const std::string& name) const {
    int i = IndexOfName(name);
    if (i < 0) return std::string();
    const std::string& s = FItems[size_t(i)].Text;
    return s.substr(s.find('=') + 1);
}

void TStringList::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    if (i < 0)
        Add(name + "=" + value);
    else
        FItems[size_t(i)].Text = name + "=" + value;
}

std::string TStringList::Text() const {
    size_t total = 0;
    for (const auto& item : FItems) total += item.Text.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& item : FItems) {
        out += item.Text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    Clear();
    size_t i = 0, n = text.size();
    while (i < n) {
        size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
        std::string line = text.substr(start, i - start);
        if (i < n && text[i] == '\r') {
            ++i;
            if (i < n && text[i] == '\n') ++i;
        } else if (i < n) {
            ++i;  // a bare LF
        }
        Add(line);
    }
}

std::string TStringList::CommaText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = FItems[size_t(i)].Text;
        if (i) out += ',';
        bool quote = s.empty() && Count() > 1;
        for (unsigned char c : s)
            if (c <= ' ' || c == ',' || c == '"') quote = true;
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStringList::LoadFromStream(TStream& stream) {
    std::string data;
    char block[65536];
    for (;;) {
        int64_t n = stream.Read(block, sizeof block);
        if (n <= 0) break;
        data.append(block, size_t(n));
    }
    SetText(data);
}

void TStringList::SaveToStream(TStream& stream) const {
    stream.WriteString(Text());
}

void TStringList::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStringList::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}
