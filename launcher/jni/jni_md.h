/* The machine-dependent part of the Java Native Interface header for Windows, 32-bit and
 * 64-bit: the calling convention of every JNI function and of the invocation interface
 * (__stdcall; on x64 there is only one convention and the keyword is ignored), and the widths
 * of the Java integer types, which are fixed by the Java language whatever the platform. jni.h
 * itself comes from the build machine's Java development kit and includes this file. */
#ifndef PANTRIX_JNI_MD_H
#define PANTRIX_JNI_MD_H

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

/* long is 32 bits on Windows in both builds (LLP64), as jint must be. */
typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
