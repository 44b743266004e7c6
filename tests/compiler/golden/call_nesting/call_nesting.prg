
     gosub ETQ02 

ETQ02: 
     gosub ETQ03 

ETQ03: 
     gosub ETQ04 

ETQ04: 
     gosub ETQ05 

ETQ05: 
     gosub ETQ06 

ETQ06: 
     gosub ETQ07 

ETQ07: 
     rjp 

     end 

















BINARY-----
00  1B 02 
02  1B 04 
04  1B 06 
06  1B 08 
08  1B 0A 
0A  1B 0C 
0C  12 
0D  0F 
