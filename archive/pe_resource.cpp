// Reading the resource tree of a PE file. Offsets inside the tree are
// relative to its root; every table, name and data entry must lie inside
// the raw data of the section that holds the root, and every resource's
// bytes inside the raw data of some section.
#include "archive/pe_resource.h"

#include "archive/pe_image.h"
#include "base/error.h"
#include "base/little_endian.h"
#include "base/strings.h"

namespace zub {
namespace {

using pe::kResourceHighBit;
// More entries than any real executable has; stops trees whose tables
// point at each other from multiplying the work.
constexpr size_t kMaxEntriesVisited = 1u << 20;

struct TTableEntry {
    TResourceName Name;
    bool IsTable = false;
    uint32_t Offset = 0;  // of the sub-table or the data entry, from the root
};

// The resource tree of one file: the root's file offset and the end of the
// section data it lies in.
class TResourceTree {
public:
    TResourceTree(const unsigned char* data, size_t size) : data_(data), size_(size), image_(pe::ParsePeImage(data, size)) {
        const uint32_t rva = image_.DirectoryRva(pe::kResourceDirectory);
        if (rva == 0) return;
        const pe::TPeSection* section = image_.SectionOf(rva);
        if (!section) throw Error("Damaged executable: the resource directory lies outside the file");
        root_ = size_t(section->PointerToRawData) + (rva - section->VirtualAddress);
        end_ = std::min<size_t>(size_, size_t(section->PointerToRawData) + section->SizeOfRawData);
        if (root_ >= end_) throw Error("Damaged executable: the resource directory lies outside the file");
        present_ = true;
    }

    bool Present() const { return present_; }

    std::vector<TTableEntry> Table(uint32_t offset) {
        const char* outside = "Damaged resource directory: a table lies outside the section";
        const uint16_t named = Read16(uint64_t(offset) + pe::kResourceNamedEntries, outside);
        const uint16_t ids = Read16(uint64_t(offset) + pe::kResourceIdEntries, outside);
        const size_t count = size_t(named) + ids;
        if ((visited_ += count) > kMaxEntriesVisited) throw Error("Damaged resource directory: too many entries");
        std::vector<TTableEntry> entries;
        for (size_t i = 0; i < count; ++i) {
            const uint64_t at = uint64_t(offset) + pe::kResourceTableHeaderSize + i * pe::kResourceTableEntrySize;
            const uint32_t name = Read32(at, outside);
            const uint32_t target = Read32(at + 4, outside);
            TTableEntry entry;
            entry.Name = (name & kResourceHighBit) ? NameAt(name & ~kResourceHighBit) : TResourceName::Number(uint16_t(name));
            entry.IsTable = (target & kResourceHighBit) != 0;
            entry.Offset = target & ~kResourceHighBit;
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    // The bytes a data entry points at.
    TResourceLocation Data(uint32_t offset, uint32_t* codePage, const TResourceName& name) {
        const char* outside = "Damaged resource directory: a data entry lies outside the section";
        const uint32_t rva = Read32(offset, outside);
        const uint32_t size = Read32(uint64_t(offset) + pe::kResourceDataSize, outside);
        if (codePage) *codePage = Read32(uint64_t(offset) + pe::kResourceDataCodePage, outside);
        std::optional<size_t> at = image_.FileOffsetOf(rva, size);
        if (!at)
            throw Error("Damaged resource directory: the data of " + name.ToString() + " lies outside the file");
        return {*at, size};
    }

    const unsigned char* Bytes() const { return data_; }

private:
    TResourceName NameAt(uint32_t offset) {
        const char* outside = "Damaged resource directory: a name lies outside the section";
        const uint16_t length = Read16(offset, outside);
        TResourceName name;
        name.IsId = false;
        for (uint16_t i = 0; i < length; ++i) name.Text.push_back(char16_t(Read16(uint64_t(offset) + 2 + 2u * i, outside)));
        return name;
    }
    // Offsets from the root; the reader ends with the root's section data.
    // An offset past 32 bits is refused before it could wrap around.
    uint16_t Read16(uint64_t offset, const char* what) const {
        if (offset > end_ - root_) throw Error(what);
        return TByteReader(data_ + root_, end_ - root_, what).U16(size_t(offset));
    }
    uint32_t Read32(uint64_t offset, const char* what) const {
        if (offset > end_ - root_) throw Error(what);
        return TByteReader(data_ + root_, end_ - root_, what).U32(size_t(offset));
    }

    const unsigned char* data_;
    size_t size_;
    pe::TPeImage image_;
    size_t root_ = 0;
    size_t end_ = 0;
    size_t visited_ = 0;
    bool present_ = false;
};

const char* kNotTable = "Damaged resource directory: a type or name entry is not a table";
const char* kNotData = "Damaged resource directory: a language entry is not a data entry";

}  // namespace

TResourceName TResourceName::Number(uint16_t id) {
    TResourceName name;
    name.Id = id;
    return name;
}

TResourceName TResourceName::Named(const std::string& ascii) {
    TResourceName name;
    name.IsId = false;
    for (unsigned char c : ascii) name.Text.push_back(char16_t(c));
    return name;
}

bool TResourceName::Matches(const TResourceName& other) const {
    if (IsId != other.IsId) return false;
    if (IsId) return Id == other.Id;
    if (Text.size() != other.Text.size()) return false;
    for (size_t i = 0; i < Text.size(); ++i)
        if (UpperAscii(Text[i]) != UpperAscii(other.Text[i])) return false;
    return true;
}

std::string TResourceName::ToString() const {
    if (IsId) return "#" + std::to_string(Id);
    std::string text;
    for (char16_t c : Text) text.push_back(c < 128 ? char(c) : '?');
    return text;
}

TResourceLocation FindPayloadResource(const unsigned char* pe, size_t size) {
    TResourceTree tree(pe, size);
    const TResourceName type = TResourceName::Number(kRtRcdata);
    const TResourceName name = TResourceName::Named(kPayloadResourceName);
    const Error missing(Format("The executable has no resource %s", kPayloadResourceName));
    if (!tree.Present()) throw missing;
    for (const TTableEntry& typeEntry : tree.Table(0)) {
        if (!typeEntry.Name.Matches(type)) continue;
        if (!typeEntry.IsTable) throw Error(kNotTable);
        for (const TTableEntry& nameEntry : tree.Table(typeEntry.Offset)) {
            if (!nameEntry.Name.Matches(name)) continue;
            if (!nameEntry.IsTable) throw Error(kNotTable);
            for (const TTableEntry& language : tree.Table(nameEntry.Offset)) {
                if (language.IsTable) throw Error(kNotData);
                return tree.Data(language.Offset, nullptr, name);
            }
        }
    }
    throw missing;
}

std::vector<unsigned char> ReadPayloadResource(const std::vector<unsigned char>& pe) {
    const TResourceLocation at = FindPayloadResource(pe.data(), pe.size());
    return std::vector<unsigned char>(pe.begin() + std::ptrdiff_t(at.FileOffset),
                                      pe.begin() + std::ptrdiff_t(at.FileOffset + at.Size));
}

std::vector<TPeResource> ReadResources(const unsigned char* pe, size_t size) {
    TResourceTree tree(pe, size);
    std::vector<TPeResource> resources;
    if (!tree.Present()) return resources;
    for (const TTableEntry& type : tree.Table(0)) {
        if (!type.IsTable) throw Error(kNotTable);
        for (const TTableEntry& name : tree.Table(type.Offset)) {
            if (!name.IsTable) throw Error(kNotTable);
            for (const TTableEntry& language : tree.Table(name.Offset)) {
                if (language.IsTable) throw Error(kNotData);
                TPeResource resource;
                resource.Type = type.Name;
                resource.Name = name.Name;
                resource.Language = language.Name.IsId ? language.Name.Id : 0;
                const TResourceLocation at = tree.Data(language.Offset, &resource.CodePage, name.Name);
                resource.Data.assign(pe + at.FileOffset, pe + at.FileOffset + at.Size);
                resources.push_back(std::move(resource));
            }
        }
    }
    return resources;
}

}  // namespace zub
