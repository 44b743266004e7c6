
     ld motor 
     or marcha 
     andn paro 
     out motor 

     end 























BINARY-----
00  06 08 
02  08 00 
04  01 01 
06  0B 08 
08  0F 
