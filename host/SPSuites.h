/*
 * The plug-in entry, its message records, and the SP suites: Basic (suite
 * acquisition and string tokens), Blocks (memory blocks) and Access (the
 * plug-in's module).
 */
#ifndef HOST_SPSUITES_H
#define HOST_SPSUITES_H
// Read as a system header from wherever it is included: the ABI's C macros
// use C casts, which the C++ expanding them must not be warned about.
#pragma GCC system_header

#include "ASTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Callers and selectors: host string tokens, compared only through
 * SPBasicSuite.IsEqual, never by pointer. */
#define kSPInterfaceCaller "SP Interface"
#define kSPInterfaceStartupSelector "Startup"
#define kSPInterfaceShutdownSelector "Shutdown"
#define kSPInterfaceAboutSelector "About"
#define kSPAccessCaller "SP Access"
#define kSPAccessUnloadSelector "Unload"
#define kSPAccessReloadSelector "Reload"
#define kCallerAITool "AI Tool"
#define kSelectorAIEditToolOptions "AI Edit Options"
#define kSelectorAITrackToolCursor "AI Track Cursor"
#define kSelectorAIToolMouseDown "AI Mouse Down"
#define kSelectorAIToolMouseDrag "AI Mouse Drag"
#define kSelectorAIToolMouseUp "AI Mouse Up"
#define kSelectorAISelectTool "AI Select"
#define kSelectorAIDeselectTool "AI Deselect"

#define kSPBasicSuite "SP Basic Suite"
#define kSPBasicSuiteVersion 4

typedef struct SPBasicSuite {
    /* Any time. Puts the named suite's table into *suite; kSuiteNotFoundErr
     * when the host has no such name and version. Pair with ReleaseSuite. */
    ASErr (*AcquireSuite)(const char* name, ASInt32 version, const void** suite);
    /* Any time after a successful AcquireSuite of the same name and version. */
    ASErr (*ReleaseSuite)(const char* name, ASInt32 version);
    /* Any time. *equal := 1 when the two string tokens read the same. */
    ASErr (*IsEqual)(const char* token1, const char* token2, ASBoolean* equal);
} SPBasicSuite;

#define kSPBlocksSuite "SP Blocks Suite"
#define kSPBlocksSuiteVersion 2

typedef struct SPBlocksSuite {
    /* Any time. A zero-filled block of size bytes that outlives library
     * unloads; debugName labels it. */
    ASErr (*AllocateBlock)(size_t size, const char* debugName, void** block);
    /* Any time; block from AllocateBlock or ReallocateBlock. */
    ASErr (*FreeBlock)(void* block);
    /* Any time. Grows or shrinks block, keeping its contents. */
    ASErr (*ReallocateBlock)(void* block, size_t newSize, const char* debugName, void** newBlock);
} SPBlocksSuite;

#define kSPAccessSuite "SP Access Suite"
#define kSPAccessSuiteVersion 3

/* The platform information of a loaded plug-in. The first word is the
 * module instance handle; the cursor functions stand in for the Windows
 * calls of the same names. */
typedef struct SPPlatformAccessInfo {
    void* defaultInstance;
    /* Returns the cursor resource `resourceId` of module `instance`, or NULL. */
    void* (*LoadCursorA)(void* instance, ASInt32 resourceId);
    /* Makes cursor current; returns the previous cursor (NULL for none). */
    void* (*SetCursor)(void* cursor);
} SPPlatformAccessInfo;

typedef struct SPAccessSuite {
    /* Any time. The access record of the given plug-in. */
    ASErr (*GetPluginAccess)(SPPluginRef plugin, SPAccessRef* access);
    /* Any time. Fills *info with the plug-in's platform information. */
    ASErr (*GetAccessInfo)(SPAccessRef access, SPPlatformAccessInfo* info);
} SPAccessSuite;

/* The common part of every message record. */
typedef struct SPMessageData {
    ASInt32 SPCheck;        /* not read */
    SPPluginRef self;       /* the plug-in the message is for */
    void* globals;          /* globals slot: written at Unload, read at Reload and Shutdown */
    SPBasicSuite* basic;    /* suite acquisition and string tokens */
} SPMessageData;

typedef SPMessageData SPInterfaceMessage;
typedef SPMessageData SPAccessMessage;

/* "AI Tool" messages. */
typedef struct AIToolMessage {
    SPMessageData d;
    AIToolHandle tool;   /* which of the plug-in's tools */
    AIRealPoint cursor;  /* document points */
    ASInt16 pressure;    /* 0 .. 255 */
} AIToolMessage;

/* The one exported entry of every plug-in. */
typedef ASErr (*PluginMainProc)(const char* caller, const char* selector, void* message);

#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
}
#endif

#endif
