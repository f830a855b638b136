// The [Installer] section of a language file: every key the setup's pages
// and its closing message read there, each named once. A key is made only
// from these constants, so a misspelt name does not compile where a
// misspelt text would give an empty label.
#pragma once

#include "lang/setup_keys.h"  // kInstallerSection

namespace qr5::lang {

class InstallerKey {
 public:
  consteval explicit InstallerKey(const char* name) : name_(name) {}
  const char* Name() const { return name_; }

 private:
  const char* name_;
};

namespace installer_key {

// Shared by the pages and dialogs.
inline constexpr InstallerKey kCaption{"Caption"};
inline constexpr InstallerKey kNextButton{"NextButton"};
inline constexpr InstallerKey kBackButton{"BackButton"};
inline constexpr InstallerKey kCancelButton{"CancelButton"};
inline constexpr InstallerKey kOkButton{"OkButton"};
inline constexpr InstallerKey kYesButton{"YesButton"};
inline constexpr InstallerKey kNoButton{"NoButton"};
inline constexpr InstallerKey kBrowseButton{"BrowseButton"};
inline constexpr InstallerKey kFinishButton{"FinishButton"};
inline constexpr InstallerKey kErrorCaption{"ErrorCaption"};

// The exit confirmation.
inline constexpr InstallerKey kExitCaption{"Exit_Caption"};
inline constexpr InstallerKey kExitLine1{"Exit_1"};
inline constexpr InstallerKey kExitLine2{"Exit_2"};
inline constexpr InstallerKey kExitLine3{"Exit_3"};

// The browse dialog.
inline constexpr InstallerKey kBrowseCaption{"SelectFolder_001"};
inline constexpr InstallerKey kBrowsePrompt{"SelectFolder_002"};
inline constexpr InstallerKey kBrowseInvalidPath{"SelectFolder_003"};

// The welcome page.
inline constexpr InstallerKey kWelcomeTitle{"2_001"};
inline constexpr InstallerKey kWelcomeLine1{"2_002"};
inline constexpr InstallerKey kWelcomeLine2{"2_003"};
inline constexpr InstallerKey kWelcomeLine3{"2_004"};

// The license page.
inline constexpr InstallerKey kLicenseTitle{"3_001"};
inline constexpr InstallerKey kLicenseSubtitle{"3_002"};
inline constexpr InstallerKey kLicensePrompt{"3_003"};
inline constexpr InstallerKey kLicenseAccept{"3_004"};
inline constexpr InstallerKey kLicenseRefuse{"3_005"};

// The destination page.
inline constexpr InstallerKey kDestinationTitle{"4_001"};
inline constexpr InstallerKey kDestinationSubtitle{"4_002"};
inline constexpr InstallerKey kDestinationPrompt{"4_003"};
inline constexpr InstallerKey kDestinationBrowseHint{"4_004"};
inline constexpr InstallerKey kDestinationSpaceNeeded{"4_005"};  // also the free-space error
inline constexpr InstallerKey kDestinationMegabytes{"4_006"};    // a number, not a text

// The progress page, and the message when the installation fell short.
inline constexpr InstallerKey kProgressTitle{"5_001"};
inline constexpr InstallerKey kProgressSubtitle{"5_002"};
inline constexpr InstallerKey kProgressPrompt{"5_003"};
inline constexpr InstallerKey kShortfallHeadline{"5_004"};
inline constexpr InstallerKey kShortfallFiles{"5_005"};
inline constexpr InstallerKey kShortfallFailure{"5_006"};
inline constexpr InstallerKey kShortfallDamaged{"5_008"};
inline constexpr InstallerKey kShortfallOneFile{"5_009"};  // the singular of 5_005
// Why a write failed and what to do: the reason classes.
inline constexpr InstallerKey kReasonDiskFull{"5_007"};
inline constexpr InstallerKey kReasonDenied{"5_010"};
inline constexpr InstallerKey kReasonInUse{"5_011"};
inline constexpr InstallerKey kReasonTooLong{"5_012"};
inline constexpr InstallerKey kReasonMissing{"5_013"};
inline constexpr InstallerKey kReasonOther{"5_014"};
// Told before anything is installed, on the NT family, to a user who may not
// write the machine-wide places.
inline constexpr InstallerKey kNeedsAdministrator{"5_015"};

// The finish page.
inline constexpr InstallerKey kFinishTitle{"6_001"};
inline constexpr InstallerKey kFinishLine1{"6_002"};
inline constexpr InstallerKey kFinishLine2{"6_003"};
inline constexpr InstallerKey kFinishStartup{"6_004"};
inline constexpr InstallerKey kFinishDesktop{"6_005"};

}  // namespace installer_key

}  // namespace qr5::lang
