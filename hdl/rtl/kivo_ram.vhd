-- Byte-wide RAM on the internal bus; read data one clock after the read strobe, as a block
-- RAM gives it.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_ram is
  generic (
    addr_bits : positive := 16                 -- 2**addr_bits bytes
  );
  port (
    clk      : in  std_logic;
    sel      : in  std_logic;                  -- the bus address falls in this RAM's window
    addr     : in  std_logic_vector(addr_bits - 1 downto 0);
    we       : in  std_logic;
    wdata    : in  std_logic_vector(7 downto 0);
    rdata    : out std_logic_vector(7 downto 0)
  );
end entity;

architecture rtl of kivo_ram is
  type mem_t is array (0 to 2**addr_bits - 1) of std_logic_vector(7 downto 0);
  -- Zero at power-up, like the memory of the software board model.
  signal mem : mem_t := (others => (others => '0'));
begin
  process (clk)
  begin
    if rising_edge(clk) then
      if sel = '1' and we = '1' then
        mem(to_integer(unsigned(addr))) <= wdata;
      end if;
      rdata <= mem(to_integer(unsigned(addr)));
    end if;
  end process;
end architecture;
