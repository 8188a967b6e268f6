#pragma once
// The published identities: the type library, every class and interface, and the enumerations.
#include <cstdint>
#include <string_view>

#include "talvane/component/guid.hpp"

namespace talvane::component {

/// The type library.
inline constexpr std::string_view kLibraryName = "Talvane";
inline constexpr std::string_view kLibraryDescription =
    "Talvane: turns the rules of an exception report into one SQL statement";
inline constexpr uint16_t kLibraryMajorVersion = 1;
inline constexpr uint16_t kLibraryMinorVersion = 0;
inline constexpr uint32_t kLibraryLocale = 1033;
inline constexpr Guid kLibraryId = Guid::FromText("{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}");

/// Class identifiers.
inline constexpr Guid kClsidException = Guid::FromText("{5AA3581D-F954-4FBC-A09A-E870299BBE36}");
inline constexpr Guid kClsidINode = Guid::FromText("{2EAED68A-C796-4DE4-9251-1649E25EE425}");
inline constexpr Guid kClsidItem = Guid::FromText("{1767A0BC-B259-4821-99A5-EBEF4740C517}");
inline constexpr Guid kClsidSection = Guid::FromText("{BF2B1B21-BCB7-4BE2-8BB4-A333AC97929D}");
inline constexpr Guid kClsidFormula = Guid::FromText("{A9381238-F82C-4654-AB6F-24C12C49B276}");
inline constexpr Guid kClsidFormulaList = Guid::FromText("{2630C7B9-1440-4BFE-B753-D46ABE5D849B}");
inline constexpr Guid kClsidFieldList = Guid::FromText("{2608A252-5125-4298-9866-1733848D01EE}");
inline constexpr Guid kClsidField = Guid::FromText("{0D1EB169-4969-48F7-96D3-506773A3B5CD}");

/// Interface identifiers of the default interfaces (_Exception, ...) and of _INode.
inline constexpr Guid kIidException = Guid::FromText("{C2B4C2F0-D53E-4E78-879F-E93ECAEADB31}");
inline constexpr Guid kIidINode = Guid::FromText("{57C4F836-3874-4E7C-A480-7254FE7B0ECA}");
inline constexpr Guid kIidItem = Guid::FromText("{C69B6014-7331-440D-85A5-EC5DF7E3980E}");
inline constexpr Guid kIidSection = Guid::FromText("{F200CC75-CFC2-472D-862A-0744247ED9E0}");
inline constexpr Guid kIidFormula = Guid::FromText("{9BFFD7EB-59C1-4EFC-9E29-9B42F29D9C32}");
inline constexpr Guid kIidFormulaList = Guid::FromText("{4FBD184B-5328-4F92-8EBC-FA802835E161}");
inline constexpr Guid kIidFieldList = Guid::FromText("{824DD538-45D2-4A87-95D2-DCA6226325AC}");
inline constexpr Guid kIidField = Guid::FromText("{B070EB86-5660-48BC-8CBF-20E0B0239683}");

/// Enumerations.
inline constexpr Guid kEnumErrExcept = Guid::FromText("{7C31E59B-100F-46A9-9C34-AF4519F8641C}");
inline constexpr Guid kEnumErrINode = Guid::FromText("{10757EAD-F737-4E95-A5D1-A6794C74E043}");
inline constexpr Guid kEnumItemType = Guid::FromText("{FF512388-DB9D-4651-9EFC-21B6C2A9160E}");
inline constexpr Guid kEnumItemDataType = Guid::FromText("{670C03CE-2980-4FF4-9790-8DB7E60959DC}");
inline constexpr Guid kEnumDatabaseType = Guid::FromText("{F26D9872-66C5-4968-9174-9356037C56D0}");
inline constexpr Guid kEnumGroupType = Guid::FromText("{CC67148E-78E4-469A-9C49-7611898FDBFC}");
inline constexpr Guid kEnumErrForm = Guid::FromText("{30E2E3BB-6F6F-4037-BE1D-C49E4C365FEE}");
inline constexpr Guid kEnumErrFieldList = Guid::FromText("{6041C94E-F0CD-49B0-B9C4-E272EDA29FD3}");
inline constexpr Guid kEnumErrField = Guid::FromText("{570C0024-9F32-45B6-BF39-2F2E338C91CA}");

}  // namespace talvane::component
