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

// ---- TStrings -------------------------------------------------------------------------------

void TStrings::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return CompareText(a, b);
}

void TStrings::Put(int index, const std::string& value) {
    void* Object = GetObject(index);
    Delete(index);
    InsertObject(index, value, Object);
}

void* TStrings::GetObject(int index) const {
    CheckIndex(index);
    return nullptr;
}

void TStrings::PutObject(int index, void*) {
    CheckIndex(index);
}

void TStrings::InsertObject(int index, const std::string& value, void* object) {
    Insert(index, value);
    PutObject(index, object);
}

int TStrings::Add(const std::string& value) {
    return AddObject(value, nullptr);
}

int TStrings::AddObject(const std::string& value, void* object) {
    const int index = Count();
    InsertObject(index, value, object);
    return index;
}

int TStrings::IndexOf(const std::string& value) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), value) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TStrings::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    if (a == b) return;
    const std::string TextA = Get(a);
    void* ObjectA = GetObject(a);
    Put(a, Get(b));
    PutObject(a, GetObject(b));
    Put(b, TextA);
    PutObject(b, ObjectA);
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    CheckIndex(from);
    CheckIndex(to);
    const std::string Text = Get(from);
    void* Object = GetObject(from);
    Delete(from);
    InsertObject(to, Text, Object);
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
    EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

std::string TStrings::Names(int index) const {
    const std::string s = Get(index);
    size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(s.substr(0, eq), name) == 0) return i;
    }
    return -1;
}

std::string TStrings::Values(const std::string& name) const {
    int i = IndexOfName(name);
    if (i < 0) return std::string();
    const std::string s = Get(i);
    return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    if (i < 0)
        Add(name + "=" + value);
    else
        Put(i, name + "=" + value);
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
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
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
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

void TStrings::SetCommaText(const std::string& text) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    const size_t n = text.size();
    auto SkipBlanks = [&] {
        while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    };
    SkipBlanks();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i<n&& static_cast<unsigned char>(text[i])> ' ' && text[i] != ',')
                item += text[i++];
        }
        Add(item);
        SkipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            SkipBlanks();
            // A comma at the very end stands before one more, empty item.
            if (i >= n) Add(std::string());
        }
    }
    EndUpdate();
}

void TStrings::LoadFromStream(TStream& stream) {
    std::string data;
    char block[65536];
    for (;;) {
        int64_t n = stream.Read(block, sizeof block);
        if (n <= 0) break;
        data.append(block, size_t(n));
    }
    SetText(data);
}

void TStrings::SaveToStream(TStream& stream) const {
    stream.WriteString(Text());
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ---- TStringList ----------------------------------------------------------------------------

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    if (FCaseSensitive) {
        int r = a.compare(b);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return CompareText(a, b);
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

void* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].Object;
}

void TStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    FItems[size_t(index)].Object = object;
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
    InsertObject(index, value, nullptr);
}

void TStringList::InsertObject(int index, const std::string& value, void* object) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, Item{value, object});
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
