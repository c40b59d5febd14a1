#pragma once
// Colour property values as Access shows them. Access stores a colour as a 0x00BBGGRR number,
// or, with the high bit set, as an index: 0x80000000 + n is Windows system colour n (0 to 30),
// and the twenty numbers after them are the Access theme colours. A report file knows only
// 0x00BBGGRR numbers, so indexed colours are resolved on the way in.
namespace tolvaran::access {

// The 0x00BBGGRR colour Access draws for a colour property value: the value itself when its
// high bit is clear, else the colour of the index (the standard Windows system colours, the
// default theme's palette); black for an index Access does not know.
long ShownColor(long value);

}  // namespace tolvaran::access
