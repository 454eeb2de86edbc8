// Resources of PE executables, read and written without the Windows loader,
// so that the authoring tool can make setups on any system and the setup's
// payload can be read natively.
//
// The resource directory is a three-level tree (type, name, language) of
// directory tables whose entries point at sub-tables or, at the last level,
// at data entries holding the RVA and size of the bytes. Every offset and
// size is checked against the section and the file: a damaged file raises
// zub::Error with a message that says what is wrong, never reads past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/payload_layout.h"

namespace zub {

constexpr uint16_t kRtRcdata = 10;

// A resource type or name: a number, or a string (kept as UTF-16 units).
struct TResourceName {
    bool IsId = true;
    uint16_t Id = 0;
    std::u16string Text;

    static TResourceName Number(uint16_t id);
    static TResourceName Named(const std::string& ascii);
    // Names compare as the loader looks them up: ASCII case ignored.
    bool Matches(const TResourceName& other) const;
    std::string ToString() const;  // "#10" or the name (non-ASCII as '?')
};

// One resource (a leaf of the tree) with its bytes.
struct TPeResource {
    TResourceName Type;
    TResourceName Name;
    uint16_t Language = 0;
    uint32_t CodePage = 0;
    std::vector<unsigned char> Data;
};

// Where the bytes of a resource lie in the file.
struct TResourceLocation {
    size_t FileOffset = 0;
    size_t Size = 0;
};

// Finds RCDATA "ZUBTRESOR" (any language; the first when there are several).
// Raises zub::Error when the file is damaged or has no such resource.
TResourceLocation FindPayloadResource(const unsigned char* pe, size_t size);
std::vector<unsigned char> ReadPayloadResource(const std::vector<unsigned char>& pe);

// Every resource of the file, in directory order. An executable without a
// resource directory has none.
std::vector<TPeResource> ReadResources(const unsigned char* pe, size_t size);

// A copy of `pe` whose RCDATA "ZUBTRESOR" holds `payload` (language neutral),
// replacing any earlier one in any language and keeping every other
// resource. The resource section is rebuilt as the last section (in place
// when it already is last in file and memory); the section table,
// SizeOfImage, the resource data directory and a non-zero checksum are
// updated. A certificate table is dropped: the signature would no longer hold.
std::vector<unsigned char> WritePayloadResource(const std::vector<unsigned char>& pe,
                                                const std::vector<unsigned char>& payload);

// Where a file's certificate table (its Authenticode signature) lies: the
// security data directory, which holds a file offset. {0, 0} when the file
// is not signed; raises zub::Error when the entry points outside the file.
TResourceLocation FindCertificateTable(const unsigned char* pe, size_t size);

// A copy of `pe` without its certificate table: the bytes cut off when the
// table ends the file (as signing tools put it), the data-directory entry
// zeroed, a non-zero checksum recomputed. An unsigned file comes back as it is.
std::vector<unsigned char> WithoutCertificateTable(const std::vector<unsigned char>& pe);

// The same for any set of resources; used by WritePayloadResource and tests.
std::vector<unsigned char> WriteResources(const std::vector<unsigned char>& pe,
                                          const std::vector<TPeResource>& resources);

}  // namespace zub
