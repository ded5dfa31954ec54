// The engine's own string, array and name types, laid out exactly as the game server holds them,
// plus the opaque game classes the plugin passes around but never looks inside.
#pragma once

#include <cstdint>

#include "host_export.h"

// Host text: UTF-16 code units in a buffer that always belongs to the host allocator.
// The plugin builds these only through the two host constructors and releases each one once.
struct FString {
    char16_t* Data = nullptr;
    int32_t Num = 0; // code units including the terminator; 0 means empty
    int32_t Max = 0;

    FString() = default;
    // The host's constructors; both copy the text into a fresh host buffer.
    HOST_API explicit FString(const char* narrow);
    HOST_API explicit FString(const char16_t* wide);
};

// The engine's dynamic array as it sits inside game objects: read in place, never resized by us.
template <typename T> struct EngineArray {
    T* Data = nullptr;
    int32_t Num = 0;
    int32_t Max = 0;
};

// An engine name; its content only means something to the game's own FName.ToString.
struct FName {
    int32_t ComparisonIndex = 0;
    int32_t Number = 0;
};

// A weak handle to a game object: copied whole, resolved by the game's FWeakObjectPtr.Get().
struct FWeakObjectPtr {
    int32_t ObjectIndex = 0;
    int32_t ObjectSerialNumber = 0;
};

// Where a bit-packed game field lives: the 32-bit word that holds it and which bits are its own.
struct BitField {
    uint32_t* Word = nullptr;
    uint8_t BitPosition = 0;
    uint8_t NumBits = 0;
};

// An RCON request as the host delivers it; the plugin reads only Id and Body.
struct RCONPacket {
    int32_t Length = 0;
    int32_t Id = 0;
    int32_t Type = 0;
    FString Body;
};

// Game classes. Their layouts are the game's; the plugin reaches their fields and functions by
// name through the host, so here they are only distinct pointer types with the game's hierarchy.
struct UObject {};
struct UClass : UObject {};
struct UWorld : UObject {};
struct AController : UObject {};
struct APlayerController : AController {};
struct AShooterPlayerController : APlayerController {};
struct APrimalCharacter : UObject {};
struct AShooterCharacter : APrimalCharacter {};
struct APrimalDinoCharacter : APrimalCharacter {};
struct UPrimalInventoryComponent : UObject {};
struct UPrimalItem : UObject {};
struct RCONClientConnection {};
struct FItemNetID {};
