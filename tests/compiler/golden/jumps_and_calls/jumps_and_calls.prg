
     ld e1 
     jp1 ETQ03 

     ld e2 
     out s1 

ETQ03: 
     gosub ETQ04 
     end 

ETQ04: 
     ld e3 
     out s2 
     rjp 





















BINARY-----
00  06 00 
02  11 08 
04  06 01 
06  0B 08 
08  1B 0B 
0A  0F 
0B  06 02 
0D  0B 09 
0F  12 
