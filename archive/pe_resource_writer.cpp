// Writing resources into a copy of a PE file. The whole resource tree is
// rebuilt from the list of resources and put into a section of its own at
// the end of the image; the headers are then fixed so that the loader finds
// it: section table, SizeOfImage, the resource data directory, the checksum.
#include <algorithm>
#include <map>
#include <type_traits>
#include <tuple>

#include "archive/pe_image.h"
#include "archive/pe_resource.h"
#include "base/error.h"
#include "base/little_endian.h"
#include "base/strings.h"

namespace zub {
namespace {

using namespace pe;
constexpr uint32_t kSectionFlags = 0x40000040u;  // initialised data, readable

// In 64 bits: a hostile stub's alignment (up to 0xffffffff) or image size
// would wrap around in the 32-bit size_t of the Windows tool, and the
// section land over the headers. The results are checked against the
// format's limits before they are used.
constexpr uint64_t kMaxPeOffset = 0x7fffffffu;
uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// The order the loader's binary search expects: names before numbers, names
// by their upper-case form, numbers ascending.
struct TNameOrder {
    bool operator()(const TResourceName& a, const TResourceName& b) const {
        if (a.IsId != b.IsId) return !a.IsId;
        if (a.IsId) return a.Id < b.Id;
        return std::lexicographical_compare(a.Text.begin(), a.Text.end(), b.Text.begin(), b.Text.end(),
                                            [](char16_t x, char16_t y) { return UpperAscii(x) < UpperAscii(y); });
    }
};

using TLanguages = std::map<uint16_t, const TPeResource*>;
using TNames = std::map<TResourceName, TLanguages, TNameOrder>;
using TTypes = std::map<TResourceName, TNames, TNameOrder>;

TTypes GroupResources(const std::vector<TPeResource>& resources) {
    TTypes types;
    for (const TPeResource& resource : resources) {
        TLanguages& languages = types[resource.Type][resource.Name];
        if (!languages.emplace(resource.Language, &resource).second)
            throw Error("Duplicate resource " + resource.Type.ToString() + " " + resource.Name.ToString());
    }
    return types;
}

// Lays the tree out as tables (breadth first), data entries, name strings
// and data, and writes it with RVAs based on `sectionRva`.
class TSectionBuilder {
public:
    TSectionBuilder(const TTypes& types, uint32_t sectionRva) : types_(types), rva_(sectionRva) {}

    std::vector<unsigned char> Build() {
        Layout();
        bytes_.assign(dataEnd_, 0);
        size_t typeTable = TableSize(types_.size());
        size_t nameTable = typeTable;
        for (const auto& type : types_) nameTable += TableSize(type.second.size());
        size_t nextData = dataEntries_;
        size_t typeIndex = 0;
        WriteTableHeader(0, types_.size(), types_);
        for (const auto& [typeName, names] : types_) {
            WriteEntry(0, typeIndex++, typeName, kResourceHighBit | uint32_t(typeTable));
            WriteTableHeader(typeTable, names.size(), names);
            size_t nameIndex = 0;
            for (const auto& [name, languages] : names) {
                WriteEntry(typeTable, nameIndex++, name, kResourceHighBit | uint32_t(nameTable));
                WriteTableHeader(nameTable, languages.size(), languages);
                size_t languageIndex = 0;
                for (const auto& [language, resource] : languages) {
                    WriteEntry(nameTable, languageIndex++, TResourceName::Number(language), uint32_t(nextData));
                    WriteData(nextData, *resource);
                    nextData += kResourceDataEntrySize;
                }
                nameTable += TableSize(languages.size());
            }
            typeTable += TableSize(names.size());
        }
        return std::move(bytes_);
    }

private:
    static size_t TableSize(size_t entries) { return kResourceTableHeaderSize + kResourceTableEntrySize * entries; }

    void Layout() {
        size_t tables = TableSize(types_.size());
        size_t leaves = 0;
        for (const auto& [typeName, names] : types_) {
            tables += TableSize(names.size());
            Intern(typeName);
            for (const auto& [name, languages] : names) {
                tables += TableSize(languages.size());
                leaves += languages.size();
                Intern(name);
            }
        }
        dataEntries_ = tables;
        uint64_t at = dataEntries_ + kResourceDataEntrySize * leaves;
        for (auto& [text, offset] : strings_) {
            offset = at;
            at += 2 + 2 * text.size();
        }
        at = AlignUp(at, 8);
        dataStart_ = size_t(at);
        for (const auto& type : types_)
            for (const auto& name : type.second)
                for (const auto& language : name.second) {
                    dataOffsets_[language.second] = size_t(at);
                    at = AlignUp(at + language.second->Data.size(), 8);
                    if (at > kMaxPeOffset) throw Error("The resources are too large for an executable");
                }
        dataEnd_ = size_t(at);
    }

    void Intern(const TResourceName& name) {
        if (!name.IsId) strings_.emplace(name.Text, 0);
    }

    template <typename Map>
    void WriteTableHeader(size_t at, size_t count, const Map& entries) {
        uint16_t named = 0;
        for (const auto& entry : entries)
            if constexpr (std::is_same_v<typename Map::key_type, TResourceName>) named += entry.first.IsId ? 0 : 1;
        if (count > 0xffff) throw Error("Too many resources in one table");
        PutLe16(bytes_, at + kResourceNamedEntries, named);
        PutLe16(bytes_, at + kResourceIdEntries, uint16_t(count - named));
    }

    void WriteEntry(size_t table, size_t index, const TResourceName& name, uint32_t target) {
        const size_t at = table + kResourceTableHeaderSize + kResourceTableEntrySize * index;
        PutLe32(bytes_, at, name.IsId ? name.Id : kResourceHighBit | uint32_t(WriteString(name.Text)));
        PutLe32(bytes_, at + 4, target);
    }

    size_t WriteString(const std::u16string& text) {
        const size_t at = strings_.at(text);
        PutLe16(bytes_, at, uint16_t(text.size()));
        for (size_t i = 0; i < text.size(); ++i) PutLe16(bytes_, at + 2 + 2 * i, uint16_t(text[i]));
        return at;
    }

    void WriteData(size_t entry, const TPeResource& resource) {
        const size_t at = dataOffsets_.at(&resource);
        PutLe32(bytes_, entry, rva_ + uint32_t(at));
        PutLe32(bytes_, entry + kResourceDataSize, uint32_t(resource.Data.size()));
        PutLe32(bytes_, entry + kResourceDataCodePage, resource.CodePage);
        std::copy(resource.Data.begin(), resource.Data.end(), bytes_.begin() + std::ptrdiff_t(at));
    }

    const TTypes& types_;
    uint32_t rva_;
    std::map<std::u16string, size_t> strings_;
    std::map<const TPeResource*, size_t> dataOffsets_;
    size_t dataEntries_ = 0;
    size_t dataStart_ = 0;
    size_t dataEnd_ = 0;
    std::vector<unsigned char> bytes_;
};

// Where the new resource section goes: over the old one when that is the
// last section in the file and in memory, otherwise behind everything.
struct TPlacement {
    size_t HeaderOffset;
    uint32_t VirtualAddress;
    size_t FileOffset;
    bool NewHeader;
};

TPlacement PlaceSection(const TPeImage& image) {
    // A new section goes behind the headers and every section even when the
    // image sizes are damaged (0), for RVA 0 would mean "no resources".
    uint64_t virtualEnd = std::max<uint64_t>({image.SizeOfImage, image.SizeOfHeaders, 1});
    size_t firstRawData = image.SizeOfHeaders;
    // Where the headers (however small SizeOfHeaders claims they are) and the
    // other sections' data end.
    const size_t tableEnd = image.SectionTableOffset + image.Sections.size() * kSectionHeaderSize;
    uint64_t otherRawEnd = std::max<uint64_t>(image.SizeOfHeaders, tableEnd);
    uint64_t otherVirtualEnd = 0;                 // and where the other sections end in memory
    for (const TPeSection& section : image.Sections) {
        virtualEnd = std::max(virtualEnd, section.VirtualEnd());
        if (section.SizeOfRawData != 0) firstRawData = std::min<size_t>(firstRawData, section.PointerToRawData);
        if (&section != &image.Sections.back()) {
            otherRawEnd = std::max(otherRawEnd, uint64_t(section.PointerToRawData) + section.SizeOfRawData);
            otherVirtualEnd = std::max(otherVirtualEnd, section.VirtualEnd());
        }
    }
    const uint32_t rva = image.DirectoryRva(kResourceDirectory);
    const TPeSection* old = rva ? image.SectionOf(rva) : nullptr;
    // Rewriting in place must not overwrite the headers or another section's
    // data, which a damaged raw-data pointer (0, say) would make it do, nor
    // pad the file up to a pointer far beyond its end, nor grow over a
    // section that lies behind it in memory though it comes first in the table.
    if (old && old == &image.Sections.back() && rva == old->VirtualAddress &&
        old->PointerToRawData >= otherRawEnd && old->PointerToRawData <= image.FileSize &&
        old->VirtualAddress >= otherVirtualEnd &&
        uint64_t(old->PointerToRawData) + old->SizeOfRawData >= image.FileSize &&
        AlignUp(old->VirtualEnd(), image.SectionAlignment) >= virtualEnd)
        return {old->HeaderOffset, old->VirtualAddress, old->PointerToRawData, false};

    const size_t header = image.SectionTableOffset + image.Sections.size() * kSectionHeaderSize;
    // The new header must lie in the file's headers, clear of every section's
    // data and of the new section itself, which starts at the end of the file.
    if (header + kSectionHeaderSize > firstRawData || header + kSectionHeaderSize > image.FileSize)
        throw Error("The executable has no room for another section header");
    const uint64_t address = AlignUp(virtualEnd, image.SectionAlignment);
    if (address > kMaxPeOffset) throw Error("The executable's image is too large");
    const uint64_t fileOffset = AlignUp(image.FileSize, image.FileAlignment);
    if (fileOffset > kMaxPeOffset) throw Error("The executable would be too large");
    return {header, uint32_t(address), size_t(fileOffset), true};
}

void WriteSectionHeader(std::vector<unsigned char>& out, size_t at, uint32_t address, size_t size, size_t rawSize,
                        size_t fileOffset) {
    static const char kName[kSectionNameSize] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::fill(out.begin() + std::ptrdiff_t(at), out.begin() + std::ptrdiff_t(at + kSectionHeaderSize), 0);
    std::copy(kName, kName + kSectionNameSize, out.begin() + std::ptrdiff_t(at));
    PutLe32(out, at + kSectionVirtualSize, uint32_t(size));
    PutLe32(out, at + kSectionVirtualAddress, address);
    PutLe32(out, at + kSectionSizeOfRawData, uint32_t(rawSize));
    PutLe32(out, at + kSectionPointerToRawData, uint32_t(fileOffset));
    PutLe32(out, at + kSectionCharacteristics, kSectionFlags);
}

}  // namespace

TResourceLocation FindCertificateTable(const unsigned char* pe, size_t size) {
    const TPeImage image = ParsePeImage(pe, size);
    const uint32_t offset = image.DirectoryRva(kSecurityDirectory);
    const uint32_t length = image.DirectorySize(kSecurityDirectory);
    if (offset == 0 && length == 0) return {};
    if (offset == 0 || length == 0 || uint64_t(offset) + length > size)
        throw Error("The executable's certificate table lies outside the file");
    return {offset, length};
}

std::vector<unsigned char> WithoutCertificateTable(const std::vector<unsigned char>& pe) {
    const TPeImage image = ParsePeImage(pe.data(), pe.size());
    if (image.NumberOfRvaAndSizes <= uint32_t(kSecurityDirectory)) return pe;
    const uint64_t offset = image.DirectoryRva(kSecurityDirectory);
    const uint64_t length = image.DirectorySize(kSecurityDirectory);
    if (offset == 0 && length == 0) return pe;
    std::vector<unsigned char> out = pe;
    // Signing tools append the table, 8-byte aligned, behind everything else;
    // a table elsewhere (or a damaged entry) is only unhooked.
    bool atEnd = offset >= image.SizeOfHeaders && length != 0 && offset + length <= pe.size() &&
                 AlignUp(offset + length, 8) >= pe.size();
    for (const TPeSection& section : image.Sections)
        if (uint64_t(section.PointerToRawData) + section.SizeOfRawData > offset && section.SizeOfRawData != 0)
            atEnd = false;
    if (atEnd) out.resize(size_t(offset));
    PutLe32(out, image.DirectoryEntryOffset(kSecurityDirectory), 0);
    PutLe32(out, image.DirectoryEntryOffset(kSecurityDirectory) + 4, 0);
    if (image.CheckSum != 0) PutLe32(out, image.CheckSumOffset, PeChecksum(out.data(), out.size(), image.CheckSumOffset));
    return out;
}

std::vector<unsigned char> WriteResources(const std::vector<unsigned char>& signedPe,
                                          const std::vector<TPeResource>& resources) {
    // A signature does not hold once the resources change.
    const std::vector<unsigned char> pe = WithoutCertificateTable(signedPe);
    const TPeImage image = ParsePeImage(pe.data(), pe.size());
    if (image.NumberOfRvaAndSizes <= uint32_t(kResourceDirectory))
        throw Error("The executable has no resource data directory");
    const TPlacement place = PlaceSection(image);
    const std::vector<unsigned char> section = TSectionBuilder(GroupResources(resources), place.VirtualAddress).Build();
    const uint64_t rawSize = AlignUp(section.size(), image.FileAlignment);
    if (place.FileOffset + rawSize > kMaxPeOffset) throw Error("The executable would be too large");
    const uint64_t imageSize = AlignUp(uint64_t(place.VirtualAddress) + section.size(), image.SectionAlignment);
    if (imageSize > kMaxPeOffset) throw Error("The executable's image is too large");

    std::vector<unsigned char> out(pe.begin(), pe.begin() + std::ptrdiff_t(std::min(pe.size(), place.FileOffset)));
    out.resize(place.FileOffset, 0);
    out.insert(out.end(), section.begin(), section.end());
    out.resize(place.FileOffset + size_t(rawSize), 0);

    WriteSectionHeader(out, place.HeaderOffset, place.VirtualAddress, section.size(), size_t(rawSize), place.FileOffset);
    if (place.NewHeader) PutLe16(out, image.NumberOfSectionsOffset, uint16_t(image.Sections.size() + 1));
    PutLe32(out, image.DirectoryEntryOffset(kResourceDirectory), place.VirtualAddress);
    PutLe32(out, image.DirectoryEntryOffset(kResourceDirectory) + 4, uint32_t(section.size()));
    PutLe32(out, image.SizeOfImageOffset, uint32_t(imageSize));
    if (image.CheckSum != 0) PutLe32(out, image.CheckSumOffset, PeChecksum(out.data(), out.size(), image.CheckSumOffset));
    return out;
}

std::vector<unsigned char> WritePayloadResource(const std::vector<unsigned char>& pe,
                                                const std::vector<unsigned char>& payload) {
    const TResourceName type = TResourceName::Number(kRtRcdata);
    const TResourceName name = TResourceName::Named(kPayloadResourceName);
    std::vector<TPeResource> resources;
    for (TPeResource& resource : ReadResources(pe.data(), pe.size()))
        if (!(resource.Type.Matches(type) && resource.Name.Matches(name))) resources.push_back(std::move(resource));
    TPeResource payloadResource;
    payloadResource.Type = type;
    payloadResource.Name = name;
    payloadResource.Data = payload;
    resources.push_back(std::move(payloadResource));
    return WriteResources(pe, resources);
}

}  // namespace zub
