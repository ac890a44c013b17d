// Texture names as single words, for text formats that separate words by
// blanks (Wavefront OBJ and MTL). A name is written as it is, except that a
// byte that such a format cannot carry in a word (a blank, a control byte,
// a byte above 0x7E, '#' which starts a comment, and '%' itself) becomes
// '%' and two upper-case hex digits. The empty name is written "%00".
#ifndef QUADKIT_FORMATS_TEXTURE_NAME_CODEC_H_
#define QUADKIT_FORMATS_TEXTURE_NAME_CODEC_H_

#include <string>

std::string EncodeTextureWord(const char* name);

// The name a word stands for: "%XX" becomes that byte, anything else is
// taken as it is; decoding stops at a decoded zero byte, as a name ends
// there. A '%' not followed by two hex digits is taken as it is.
std::string DecodeTextureWord(const std::string& word);

#endif  // QUADKIT_FORMATS_TEXTURE_NAME_CODEC_H_
