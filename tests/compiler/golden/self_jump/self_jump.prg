
ETQ01: 
     ld e1 
     jp1 ETQ01 

     end 























BINARY-----
00  06 00 
02  11 00 
04  0F 
