// The C entry points of the CHM engine library (libzanvochm-hha.so, staged
// as "hha.dll").  The compiler program loads the library at run time and
// looks these names up, so they keep C linkage and a stable signature.
#ifndef ZANVO_CHMFILE_HHA_ENGINE_H_
#define ZANVO_CHMFILE_HHA_ENGINE_H_

#ifdef __cplusplus
extern "C" {
#endif

// Kinds passed to the log callback.
enum {
  ZANVOCHM_HHA_PROGRESS = 0,  // a progress line ("Display compile progress=yes")
  ZANVOCHM_HHA_WARNING = 1,   // "file:line: warning: ..."
  ZANVOCHM_HHA_ERROR = 2,     // "file:line: error: ..."
};

typedef void (*zanvochm_hha_log_fn)(int kind, const char* text, void* ctx);

// Compiles the project at projectPath (a file system path; "\" separators
// accepted).  flags is reserved and must be 0.  Every message goes to log
// (which may be null).  Returns 0 when the book was written, 1 when the
// compile failed, 2 for bad arguments.
int zanvochm_hha_compile(const char* projectPath, int flags, zanvochm_hha_log_fn log,
                         void* ctx);

// The engine's version text, e.g. "1.0.0".
const char* zanvochm_hha_version(void);

#ifdef __cplusplus
}
#endif

#endif  // ZANVO_CHMFILE_HHA_ENGINE_H_
